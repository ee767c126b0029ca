#include "table/Table.h"

#include "table/SortKeys.h"

#include <algorithm>

namespace Tavex {

namespace {

constexpr std::size_t RoundUp(std::size_t n) {
    return (n + kCellAlign - 1) / kCellAlign * kCellAlign;
}

std::byte* AllocateRecords(std::size_t bytes) {
    return static_cast<std::byte*>(::operator new(bytes, std::align_val_t(kCellAlign)));
}

} // namespace

void CTable::BlockDeleter::operator()(std::byte* p) const {
    ::operator delete(p, std::align_val_t(kCellAlign));
}

CTable::CTable() {
    SetTable(this);
    m_columns.reserve(16);
    m_rows.reserve(254);
    m_freeRows.reserve(254);
}

CTable::~CTable() {
    ClearLayout();
}

void CTable::SetColumnCount(int count) {
    ClearLayout();
    m_columns.resize(static_cast<std::size_t>(std::max(count, 0)));
}

void CTable::Build() {
    // Building twice would leave rows of the old layout behind; start from a clean model.
    if (m_layout)
        ClearRecords();
    m_layout = std::make_unique<CRowLayout>();
    m_layout->m_table = this;
    m_layout->m_columnCount = GetColumnCount();
    m_layout->m_offsets.resize(m_columns.size());

    std::size_t size = kRowHeaderSize;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        m_layout->m_offsets[i] = size;
        m_columns[i].m_view = std::make_unique<CColData>(&m_rows, size);
        size += RoundUp(m_columns[i].m_factory->GetCellSize());
    }
    m_rowSize = size;

    m_prototype.reset(AllocateRecords(m_rowSize));
    ::new (m_prototype.get()) CRow(m_layout.get());
    for (int c = GetColumnCount() - 1; c >= 0; --c) {
        CCellFactory& factory = *Entry(c).m_factory;
        factory.CopyConstruct(m_prototype.get() + m_layout->m_offsets[static_cast<std::size_t>(c)],
                              *factory.GetPrototype());
    }
}

void CTable::ClearRecords() {
    DeleteAllRows();
    if (m_prototype) {
        DestroyCells(std::launder(reinterpret_cast<CRow*>(m_prototype.get())));
        m_prototype.reset();
    }
}

void CTable::ClearLayout() {
    if (m_layout)
        ClearRecords();
    while (!m_columns.empty())
        m_columns.pop_back(); // last column first
    m_layout.reset();
    m_rowSize = 0;
}

void CTable::CopyStructure(CTableInterface* other) {
    if (other == this)
        return;
    const int count = other->GetColumnCount();
    SetColumnCount(count);
    for (int c = count - 1; c >= 0; --c) {
        Entry(c).m_factory.reset(other->GetFactory(c)->Clone());
        Entry(c).m_compare.reset(other->GetCompare(c)->Clone());
    }
    Build();
}

int CTable::AddColumn(CCellFactory* factory, CCellCompare* compare) {
    ColumnEntry entry;
    entry.m_factory.reset(factory);
    entry.m_compare.reset(compare);
    m_columns.push_back(std::move(entry));
    return GetColumnCount() - 1;
}

void CTable::SetColumn(int column, CCellFactory* factory, CCellCompare* compare) {
    // Replacing releases what the entry held before, so setting a column twice leaks nothing.
    Entry(column).m_factory.reset(factory);
    Entry(column).m_compare.reset(compare);
}

void CTable::SetCompare(int column, CCellCompare* compare) {
    Entry(column).m_compare.reset(compare);
}

CRow* CTable::RecordAt(std::byte* base, int index) const {
    return reinterpret_cast<CRow*>(base + static_cast<std::size_t>(index) * m_rowSize);
}

CRow* CTable::ConstructFromPrototype(std::byte* place) const {
    const auto* proto = std::launder(reinterpret_cast<const CRow*>(m_prototype.get()));
    auto* row = ::new (place) CRow(m_layout.get());
    for (int c = m_layout->m_columnCount - 1; c >= 0; --c) {
        m_columns[static_cast<std::size_t>(c)].m_factory->CopyConstruct(
            place + m_layout->m_offsets[static_cast<std::size_t>(c)], *proto->GetCell(c));
    }
    return row;
}

void CTable::DestroyCells(CRow* row) const {
    for (int c = row->GetColumnCount() - 1; c >= 0; --c)
        row->GetCell(c)->~CCellData();
}

void CTable::CopyCells(CRow* destination, const CRow* source) const {
    if (destination == source)
        return;
    for (int c = destination->GetColumnCount() - 1; c >= 0; --c)
        destination->GetCell(c)->Assign(*source->GetCell(c));
}

void CTable::AllocateBlock() {
    Block block(AllocateRecords(m_rowSize * kRowsPerBlock));
    std::byte* base = block.get();
    m_blocks.push_back(std::move(block));
    // Every record a copy of the prototype row, filled column by column.
    const auto* proto = std::launder(reinterpret_cast<const CRow*>(m_prototype.get()));
    for (int c = m_layout->m_columnCount - 1; c >= 0; --c) {
        m_columns[static_cast<std::size_t>(c)].m_factory->FillCells(
            base + m_layout->m_offsets[static_cast<std::size_t>(c)], m_rowSize, kRowsPerBlock,
            *proto->GetCell(c));
    }
    m_freeRows.clear();
    for (int k = 0; k < kRowsPerBlock; ++k)
        m_freeRows.push_back(::new (base + static_cast<std::size_t>(k) * m_rowSize)
                                 CRow(m_layout.get()));
}

CRow* CTable::TakeFreeRow() {
    if (m_freeRows.empty())
        AllocateBlock();
    CRow* row = m_freeRows.back();
    m_freeRows.pop_back();
    return row;
}

CRow* CTable::AddRow() {
    CRow* row = TakeFreeRow();
    m_rows.push_back(row);
    if (m_filtered)
        m_order.push_back(row);
    return row;
}

CRow* CTable::AddRowCopy(const CRow* source) {
    CRow* row = AddRow();
    CopyCells(row, source);
    return row;
}

CRow* CTable::InsertRow(int index) {
    CRow* row = TakeFreeRow();
    m_rows.insert(m_rows.begin() + index, row);
    if (m_filtered) {
        m_order.push_back(row);
        m_orderStale = true;
    }
    return row;
}

CRow* CTable::InsertRowCopy(int index, const CRow* source) {
    CRow* row = InsertRow(index);
    CopyCells(row, source);
    return row;
}

void CTable::DeleteRow(int row) {
    CRow* record = GetRow(row);
    DestroyCells(record);
    record->~CRow();
    m_freeRows.push_back(ConstructFromPrototype(reinterpret_cast<std::byte*>(record)));
    m_rows.erase(m_rows.begin() + row);
    if (m_filtered)
        EraseFromOrder(record);
}

void CTable::DeleteAllRows() {
    // Each block is freed right after its cells, while its memory is still in the cache.
    while (!m_blocks.empty()) {
        std::byte* base = m_blocks.front().get();
        for (int c = m_layout->m_columnCount - 1; c >= 0; --c) {
            if (!RecordAt(base, 0)->GetCell(c)->NeedsDestruction())
                continue; // integer cells own nothing
            m_columns[static_cast<std::size_t>(c)].m_factory->DestroyCells(
                base + m_layout->m_offsets[static_cast<std::size_t>(c)], m_rowSize, kRowsPerBlock);
        }
        m_blocks.pop_front();
    }
    m_rows.clear();
    m_freeRows.clear();
    m_order.clear();
    m_filtered = false;
    m_orderStale = false;
}

void CTable::DeleteSelectedRows() {
    for (int r = GetRowCount() - 1; r >= 0; --r)
        if (IsRowSelected(r))
            DeleteRow(r);
}

void CTable::MoveRow(int from, int to) {
    if (from == to)
        return;
    CRow* row = GetRow(from);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, row);
    m_orderStale = m_filtered;
}

void CTable::Sort(const CSortKeys& keys) {
    if (keys.GetCount() == 0)
        return;
    struct Key {
        const CCellCompare* m_compare;
        std::size_t m_offset;
        bool m_descending;
    };
    std::vector<Key> plan;
    for (int i = 0; i < keys.GetCount(); ++i) {
        const int column = keys.GetColumn(i);
        if (!IsValidColumn(column))
            continue; // a stale key (columns changed since it was made) sorts nothing
        plan.push_back({Entry(column).m_compare.get(),
                        m_layout->m_offsets[static_cast<std::size_t>(column)],
                        keys.GetDirection(i) == CSortKeys::kDescending});
    }
    auto cell = [](const CRow* row, std::size_t offset) -> const CCellData& {
        return *std::launder(
            reinterpret_cast<const CCellData*>(reinterpret_cast<const std::byte*>(row) + offset));
    };
    // Rows with equal keys keep the order the user sees, so that nothing jumps while results
    // stream in: ties go by present position. Faster here than a merging stable sort.
    RepairOrder();
    std::vector<CRow*>& rows = m_filtered ? m_order : m_rows;
    std::vector<std::pair<CRow*, std::size_t>> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        order[i] = {rows[i], i};
    std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
        for (const Key& k : plan) {
            const int c =
                k.m_compare->Compare(cell(a.first, k.m_offset), cell(b.first, k.m_offset));
            if (c != 0)
                return k.m_descending ? c > 0 : c < 0;
        }
        return a.second < b.second;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = order[i].first;
    if (m_filtered) {
        m_rows.clear();
        for (CRow* row : m_order)
            if (!row->IsHidden())
                m_rows.push_back(row);
    }
}

void CTable::BeginFiltering() {
    if (m_filtered)
        return;
    m_order = m_rows;
    m_filtered = true;
    m_orderStale = false;
}

void CTable::RepairOrder() {
    if (!m_orderStale)
        return;
    std::vector<CRow*> order = m_rows;
    for (CRow* row : m_order)
        if (row->IsHidden())
            order.push_back(row);
    m_order = std::move(order);
    m_orderStale = false;
}

void CTable::EraseFromOrder(const CRow* row) {
    auto found = std::find(m_order.begin(), m_order.end(), row);
    if (found != m_order.end())
        m_order.erase(found);
}

void CTable::FilterRows(const std::function<bool(const CRow&)>& show) {
    if (!show) {
        ShowAllRows();
        return;
    }
    BeginFiltering();
    RepairOrder();
    m_rows.clear();
    for (CRow* row : m_order) {
        const bool shown = show(*row);
        row->m_hidden = shown ? 0 : 1;
        if (shown)
            m_rows.push_back(row);
        else
            row->SetSelected(false);
    }
    if (m_rows.size() == m_order.size())
        ShowAllRows();
}

void CTable::ShowAllRows() {
    if (!m_filtered)
        return;
    RepairOrder();
    for (CRow* row : m_order)
        row->m_hidden = 0;
    m_rows = std::move(m_order);
    m_order.clear();
    m_filtered = false;
}

CRow* CTable::SetRowFrom(int row, const CRow* source) {
    CRow* record = GetRow(row);
    CopyCells(record, source);
    return record;
}

int CTable::FindRow(int column, const CCellData* value, int after) {
    for (int r = std::max(after + 1, 0); r < GetRowCount(); ++r)
        if (GetCell(r, column)->Equal(*value))
            return r;
    return -1;
}

int CTable::LowerBound(int column, const CCellData* value) {
    // The value is first held in the column's own cell type, so the cells' own order applies.
    CCellFactory& factory = *Entry(column).m_factory;
    const auto* proto = std::launder(reinterpret_cast<const CRow*>(m_prototype.get()));
    Block temp(AllocateRecords(RoundUp(factory.GetCellSize())));
    CCellData* probe = factory.CopyConstruct(temp.get(), *proto->GetCell(column));
    probe->Assign(*value);

    int first = 0;
    int count = GetRowCount();
    while (count > 0) {
        const int half = count / 2;
        if (GetCell(first + half, column)->LessThan(*probe)) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    probe->~CCellData();
    return first;
}

void CTable::SelectRows(int first, int last, bool selected) {
    for (int r = first; r <= last; ++r)
        SelectRow(r, selected);
}

void CTable::ToggleRows(int first, int last) {
    for (int r = first; r <= last; ++r)
        SelectRow(r, !IsRowSelected(r));
}

int CTable::GetSelectedCount() const {
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const CRow* r) { return r->IsSelected(); }));
}

void CTable::CopyRows(CTableInterface* source) {
    if (source == this)
        return; // copying onto itself would delete the rows it reads
    DeleteAllRows();
    for (int r = 0; r < source->GetRowCount(); ++r)
        AddRowCopy(source->GetRow(r));
}

} // namespace Tavex
