#include "ListControl.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>

#include "platform/MessageBox.h"

// Numbers sort as numbers ("9" before "10"), texts as texts; the filter text
// is looked for in every column, in any case, on top of any column filter a
// page sets on the proxy itself.
class CListFilterProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetText(const QString& text) {
        if (text == m_text)
            return;
        m_text = text;
        invalidateFilter();
    }
    const QString& Text() const { return m_text; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override {
        if (!m_text.isEmpty()) {
            const auto* model = static_cast<const CListModel*>(sourceModel());
            bool found = false;
            for (int c = 0; c < model->columnCount() && !found; ++c)
                found = model->Text(sourceRow, c).contains(m_text, Qt::CaseInsensitive);
            if (!found)
                return false;
        }
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    }

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

private:
    QString m_text;
};

namespace {

// The headings with the filter field above them, inside the list's frame, so
// that every page gets it wherever its layout put the list.
class CFilterHeader : public QHeaderView {
public:
    CFilterHeader(QLineEdit* field, QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent), m_pField(field) {
        field->setParent(this);
    }

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        size.rheight() += FieldHeight();
        return size;
    }

protected:
    void updateGeometries() override {
        const int height = FieldHeight();
        if (viewportMargins().top() != height)
            setViewportMargins(0, height, 0, 0);
        m_pField->setGeometry(0, 0, width(), height);
        QHeaderView::updateGeometries();
    }

private:
    int FieldHeight() const { return m_pField->sizeHint().height(); }

    QLineEdit* m_pField;
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
    : QTableView(parent), m_model(new CListModel(this)), m_proxy(new CListFilterProxy(this)),
      m_pFilter(new QLineEdit) {
    m_pFilter->setPlaceholderText(tr("Filter"));
    m_pFilter->setToolTip(tr("Show only the rows that contain this text (Ctrl+F)"));
    m_pFilter->setClearButtonEnabled(true);
    m_pFilter->installEventFilter(this);
    setHorizontalHeader(new CFilterHeader(m_pFilter, this));
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
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { emit RowActivated(ModelRow(index)); });
    connect(this, &QTableView::activated, this,
            [this](const QModelIndex& index) { emit RowActivated(ModelRow(index)); });
    connect(m_pFilter, &QLineEdit::textChanged, this, &CListControl::SetFilterText);
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

void CListControl::FitColumnsToContents() {
    if (!m_bKeepWidths)
        resizeColumnsToContents();
}

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

bool CListControl::SelectRow(int row) {
    const QModelIndex index = m_proxy->mapFromSource(m_model->index(row, 0));
    if (!index.isValid())
        return false;
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

void CListControl::SetFilterText(const QString& text) {
    const QString wanted = text.trimmed();
    if (m_pFilter->text() != text)
        m_pFilter->setText(text); // comes back here through textChanged
    if (wanted == m_proxy->Text())
        return;
    m_proxy->SetText(wanted);
    emit FilterChanged(wanted);
}

QString CListControl::FilterText() const { return m_proxy->Text(); }

QList<int> CListControl::ShownRows() const {
    QList<int> rows;
    rows.reserve(m_proxy->rowCount());
    for (int viewRow = 0; viewRow < m_proxy->rowCount(); ++viewRow)
        rows.append(ModelRow(m_proxy->index(viewRow, 0)));
    return rows;
}

QString TsvField(const QString& text) {
    QString cell = text.trimmed();
    for (QChar& c : cell)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return cell;
}

QString CListControl::SelectionText() const {
    QList<int> rows;
    const QList<int> selected = SelectedRows();
    for (int r : ShownRows())
        if (selected.isEmpty() || std::binary_search(selected.begin(), selected.end(), r))
            rows.append(r);
    QStringList cells;
    for (const QString& header : m_model->Headers())
        cells.append(TsvField(header));
    QStringList lines{cells.join(u'\t')};
    for (int r : rows) {
        cells.clear();
        for (int c = 0; c < m_model->columnCount(); ++c)
            cells.append(TsvField(m_model->Text(r, c)));
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\n');
}

QString CsvField(const QString& text) {
    QString field = text.trimmed();
    // A spreadsheet opening the file must not run a cell as a formula.
    static const QString kFormulaStart = QStringLiteral("=+-@");
    bool number = false;
    field.toDouble(&number);
    if (!field.isEmpty() && kFormulaStart.contains(field.front()) && !number)
        field.prepend(u'\'');
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    field.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + field + u'"';
}

QString CListControl::ToCsv() const {
    QString csv;
    QStringList fields;
    for (const QString& header : m_model->Headers())
        fields.append(CsvField(header));
    csv += fields.join(u',') + QLatin1String("\r\n");
    for (int r : ShownRows()) {
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

void CListControl::CopySelection() {
    const QString text = SelectionText();
    QApplication::clipboard()->setText(text);
    const int rows = static_cast<int>(text.count(u'\n'));
    emit Reported(rows == 1 ? tr("Copied 1 row.") : tr("Copied %1 rows.").arg(rows));
}

void CListControl::ExportWithDialog() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(),
                                                      tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!ExportCsv(path)) {
        const QString text = tr("Could not write %1.").arg(path);
        emit Reported(text);
        ShowMessage(text, this);
        return;
    }
    const int rows = m_proxy->rowCount();
    emit Reported(rows == 1 ? tr("Exported 1 row to %1.").arg(path)
                            : tr("Exported %1 rows to %2.").arg(rows).arg(path));
}

void CListControl::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        m_pFilter->setFocus(Qt::ShortcutFocusReason);
        m_pFilter->selectAll();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool CListControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter must not reach the page's default button, nor Escape close
        // the page while there is a filter to clear.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
        if (key == Qt::Key_Escape && !m_pFilter->text().isEmpty()) {
            m_pFilter->clear();
            setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (key == Qt::Key_Down) {
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void CListControl::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"));
    copy->setEnabled(m_proxy->rowCount() > 0);
    QAction* exportCsv = menu.addAction(tr("Export CSV..."));
    QAction* filter = menu.addAction(tr("&Filter"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy) {
        CopySelection();
    } else if (chosen == exportCsv) {
        ExportWithDialog();
    } else if (chosen == filter) {
        m_pFilter->setFocus(Qt::PopupFocusReason);
        m_pFilter->selectAll();
    }
}
