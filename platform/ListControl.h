#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

#include <vector>

class CListFilterProxy;
class QLineEdit;

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
// column, a filter field above the headings (Ctrl+F; rows whose text holds the
// filter in any column, any case), copying the selected rows with the header
// line (Ctrl+C or the context menu) and "Export CSV..." of the rows shown.
// Row numbers are those of the model, in the order rows were added, whatever
// the sorting or filter shown.
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
    // Selects the model row; false when the filter hides it.
    bool SelectRow(int row);

    void SetFilterText(const QString& text);
    QString FilterText() const;
    QLineEdit* FilterEdit() const { return m_pFilter; }
    // Rows the filter lets through, in the order shown (model rows).
    QList<int> ShownRows() const;

    // The header line and the selected rows (all rows shown when none is
    // selected), in the order shown, tab-separated.
    QString SelectionText() const;
    // The rows shown as CSV, header line first, in the order shown.
    QString ToCsv() const;
    bool ExportCsv(const QString& path) const;

    CListModel* Model() const { return m_model; }

    // Widths fitted to the texts shown, unless they came from the window
    // memory: what the operator set last time wins.
    void FitColumnsToContents();
    void KeepWidths() { m_bKeepWidths = true; }

signals:
    // A row was clicked or chosen with the keyboard (model row).
    void RowActivated(int row);
    // The filter text changed (the rows shown with it).
    void FilterChanged(const QString& text);
    // What a copy or an export came to, for the page's outcome line.
    void Reported(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ModelRow(const QModelIndex& viewIndex) const;
    void CopySelection();
    void ExportWithDialog();

    CListModel* m_model;
    CListFilterProxy* m_proxy;
    QLineEdit* m_pFilter;
    bool m_bKeepWidths = false;
};

// One CSV field (RFC 4180): quoted when it holds a comma, a quote or a line
// break; a text a spreadsheet would run as a formula (= + - @, tab or carriage
// return first) gets a leading apostrophe, plain numbers excepted.
QString CsvField(const QString& text);
// One cell of the copied text: tabs and line breaks become blanks, so that
// columns and rows stay where they are.
QString TsvField(const QString& text);
