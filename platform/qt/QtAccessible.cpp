#include "platform/qt/QtAccessible.h"

#include "platform/Accessible.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtWindow.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QPointer>

#include <algorithm>
#include <map>
#include <utility>

namespace PlatformQt {

namespace {

using Platform::IAccessibleTable;

IAccessibleTable* TableOf(QObject* object) {
    auto* peer = dynamic_cast<PeerWidget*>(object);
    return peer && peer->m_owner ? peer->m_owner->GetAccessibleTable() : nullptr;
}

class TableCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TableCell(QWidget* table, int row, int column) : m_table(table), m_row(row), m_column(column) {}

    bool isValid() const override {
        const IAccessibleTable* table = Table();
        return table && m_row < table->AccessibleRowCount() &&
               m_column < table->AccessibleColumnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_table ? m_table->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_table ? QAccessible::queryAccessibleInterface(m_table) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        const IAccessibleTable* table = Table();
        if (!table || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return FromCp1252(table->AccessibleCellText(m_row, m_column));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        return m_table ? QRect(m_table->mapToGlobal(QPoint(0, 0)), m_table->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State state;
        const IAccessibleTable* table = Table();
        state.selectable = true;
        state.focusable = true;
        if (table) {
            state.selected = table->AccessibleRowSelected(m_row);
            state.focused = m_table->hasFocus() && table->AccessibleCurrentRow() == m_row &&
                            CurrentColumn(*table) == m_column;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override {
        const IAccessibleTable* table = Table();
        return table && table->AccessibleRowSelected(m_row);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // A table in row mode has no current column: its first stands for the row.
    static int CurrentColumn(const IAccessibleTable& table) {
        return std::max(table.AccessibleCurrentColumn(), 0);
    }

private:
    IAccessibleTable* Table() const { return m_table ? TableOf(m_table) : nullptr; }

    QPointer<QWidget> m_table;
    int m_row;
    int m_column;
};

class Table : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit Table(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Table) {}
    ~Table() override {
        for (const auto& [place, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = columnCount();
        return index >= 0 && columns > 0 ? cellAt(index / columns, index % columns) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    QAccessibleInterface* focusChild() const override {
        const IAccessibleTable* table = Source();
        if (!table || table->AccessibleCurrentRow() < 0)
            return nullptr;
        return cellAt(table->AccessibleCurrentRow(), TableCell::CurrentColumn(*table));
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const std::pair<int, int> place{row, column};
        if (auto it = m_cells.find(place); it != m_cells.end())
            return QAccessible::accessibleInterface(it->second);
        auto* cell = new TableCell(widget(), row, column);
        m_cells[place] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }
    int columnCount() const override {
        const IAccessibleTable* table = Source();
        return table ? table->AccessibleColumnCount() : 0;
    }
    int rowCount() const override {
        const IAccessibleTable* table = Source();
        return table ? table->AccessibleRowCount() : 0;
    }
    QString columnDescription(int column) const override {
        const IAccessibleTable* table = Source();
        return table ? FromCp1252(table->AccessibleColumnTitle(column)) : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows())
            for (int column = 0; column < columnCount(); ++column)
                cells.push_back(cellAt(row, column));
        return cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> rows;
        const IAccessibleTable* table = Source();
        for (int row = 0; table && row < table->AccessibleRowCount(); ++row)
            if (table->AccessibleRowSelected(row))
                rows.push_back(row);
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        const IAccessibleTable* table = Source();
        return table && table->AccessibleRowSelected(row);
    }
    // The selection belongs to the user and the program; assistive tools only read it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    IAccessibleTable* Source() const { return TableOf(widget()); }

    // Cells are made when asked for and kept, so one cell is always the same object.
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && TableOf(object) ? new Table(widget) : nullptr;
}

} // namespace

void InstallAccessibleTables() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace PlatformQt
