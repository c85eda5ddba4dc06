#include "ListControl.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSortFilterProxyModel>

#include "platform/MessageBox.h"

namespace {

// Numbers sort as numbers ("9" before "10"), texts as texts.
class CNaturalSortProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QString a = left.data().toString().trimmed();
        const QString b = right.data().toString().trimmed();
        bool aNumber = false, bNumber = false;
        const double x = a.toDouble(&aNumber);
        const double y = b.toDouble(&bNumber);
        if (aNumber && bNumber)
            return x < y;
        if (aNumber != bNumber)
            return aNumber; // numbers before texts
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

} // namespace

void CListModel::SetHeaders(const QStringList& headers) {
    beginResetModel();
    m_headers = headers;
    for (QStringList& row : m_rows)
        row.resize(m_headers.size());
    endResetModel();
}

void CListModel::AppendRows(std::vector<QStringList> rows) {
    if (rows.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (QStringList& row : rows) {
        row.resize(m_headers.size());
        m_rows.push_back(std::move(row));
    }
    endInsertRows();
}

void CListModel::SetText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    m_rows[row][column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

QString CListModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    return m_rows[row][column];
}

void CListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return Text(index.row(), index.column());
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headers.size())
        return m_headers[section];
    return {};
}

CListControl::CListControl(QWidget* parent)
    : QTableView(parent), m_model(new CListModel(this)), m_proxy(new CNaturalSortProxy(this)) {
    m_proxy->setSourceModel(m_model);
    setModel(m_proxy);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(true);
    sortByColumn(-1, Qt::AscendingOrder); // rows stay in arrival order until a header is clicked
    setWordWrap(false);
    setShowGrid(false);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { emit RowActivated(ModelRow(index)); });
    connect(this, &QTableView::activated, this,
            [this](const QModelIndex& index) { emit RowActivated(ModelRow(index)); });
}

int CListControl::AddColumn(const QString& header) {
    QStringList headers = m_model->Headers();
    headers.append(header);
    m_model->SetHeaders(headers);
    const int column = static_cast<int>(headers.size()) - 1;
    setColumnWidth(column, horizontalHeader()->fontMetrics().horizontalAdvance(header) + 15);
    return column;
}

void CListControl::AppendRow(const QStringList& texts) { m_model->AppendRows({texts}); }

void CListControl::AppendRows(std::vector<QStringList> rows) { m_model->AppendRows(std::move(rows)); }

void CListControl::SetItemText(int row, int column, const QString& text) {
    m_model->SetText(row, column, text);
}

QString CListControl::ItemText(int row, int column) const { return m_model->Text(row, column); }

void CListControl::DeleteAllItems() { m_model->Clear(); }

int CListControl::ModelRow(const QModelIndex& viewIndex) const {
    return viewIndex.isValid() ? m_proxy->mapToSource(viewIndex).row() : -1;
}

int CListControl::SelectedRow() const {
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.front();
}

QList<int> CListControl::SelectedRows() const {
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(ModelRow(index));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CListControl::SelectRow(int row) {
    const QModelIndex index = m_proxy->mapFromSource(m_model->index(row, 0));
    if (!index.isValid())
        return;
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setCurrentIndex(index);
    scrollTo(index);
}

QString CListControl::SelectionText() const {
    QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        for (int r = 0; r < m_model->rowCount(); ++r)
            rows.append(r);
    QStringList lines;
    for (int r : rows) {
        QStringList cells;
        for (int c = 0; c < m_model->columnCount(); ++c)
            cells.append(m_model->Text(r, c).trimmed());
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\n');
}

QString CsvField(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.contains(u',') && !trimmed.contains(u'"') && !trimmed.contains(u'\n') &&
        !trimmed.contains(u'\r'))
        return trimmed;
    QString quoted = trimmed;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString CListControl::ToCsv() const {
    QString csv;
    QStringList fields;
    for (const QString& header : m_model->Headers())
        fields.append(CsvField(header));
    csv += fields.join(u',') + QLatin1String("\r\n");
    for (int viewRow = 0; viewRow < m_proxy->rowCount(); ++viewRow) {
        const int r = m_proxy->mapToSource(m_proxy->index(viewRow, 0)).row();
        fields.clear();
        for (int c = 0; c < m_model->columnCount(); ++c)
            fields.append(CsvField(m_model->Text(r, c)));
        csv += fields.join(u',') + QLatin1String("\r\n");
    }
    return csv;
}

bool CListControl::ExportCsv(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = ToCsv().toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}

void CListControl::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(SelectionText());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CListControl::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"));
    copy->setEnabled(m_model->rowCount() > 0);
    QAction* exportCsv = menu.addAction(tr("Export CSV..."));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy) {
        QApplication::clipboard()->setText(SelectionText());
    } else if (chosen == exportCsv) {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(),
                                                          tr("CSV files (*.csv)"));
        if (!path.isEmpty() && !ExportCsv(path))
            ShowMessage(tr("Could not write %1.").arg(path), this);
    }
}
