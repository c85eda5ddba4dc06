#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

#include <vector>

class QSortFilterProxyModel;

// Rows of texts for the page lists; tens of thousands of rows are fine.
class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetHeaders(const QStringList& headers);
    const QStringList& Headers() const { return m_headers; }
    // Appends rows in one insertion (one view update for the whole batch).
    void AppendRows(std::vector<QStringList> rows);
    void SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headers;
    std::vector<QStringList> m_rows;
};

// The list of every page: columns as wide as their header text plus 15 pixels
// (the headers keep their blanks), full-row selection, sorting by a click on a
// column, copying the selected rows (Ctrl+C or the context menu) and
// "Export CSV..." of the whole list. Row numbers are those of the model, in
// the order rows were added, whatever the sorting shown.
class CListControl : public QTableView {
    Q_OBJECT
public:
    explicit CListControl(QWidget* parent = nullptr);

    int AddColumn(const QString& header);
    void AppendRow(const QStringList& texts);
    void AppendRows(std::vector<QStringList> rows);
    void SetItemText(int row, int column, const QString& text);
    QString ItemText(int row, int column) const;
    int ItemCount() const { return m_model->rowCount(); }
    void DeleteAllItems();

    // Model row of the current selection, -1 when none.
    int SelectedRow() const;
    QList<int> SelectedRows() const;
    void SelectRow(int row);

    // The selected rows (all rows when none is selected) as tab-separated text.
    QString SelectionText() const;
    // The whole list as CSV, header line first, in the order shown.
    QString ToCsv() const;
    bool ExportCsv(const QString& path) const;

    CListModel* Model() const { return m_model; }

signals:
    // A row was clicked or chosen with the keyboard (model row).
    void RowActivated(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int ModelRow(const QModelIndex& viewIndex) const;

    CListModel* m_model;
    QSortFilterProxyModel* m_proxy;
};

// One CSV field: quoted when it holds a comma, a quote or a line break.
QString CsvField(const QString& text);
