#include "table/Enum.h"

#include "table/Cells.h"
#include "table/TableInterface.h"

#include <algorithm>

namespace Tavex {

namespace {
// Above this many entries a lookup sorts the entries once and searches them by halving.
constexpr std::size_t kLinearLookupLimit = 10;
} // namespace

CEnum::CInternalEnum::CInternalEnum(std::shared_ptr<const Platform::IImageList> images) {
    m_images = std::move(images);
    m_error.m_text = "#Error#";
    m_error.m_text2 = "#Error#";
    m_error.m_image = -1;
    m_error.m_order = 0;
}

void CEnum::CInternalEnum::Release() {
    if (--m_refCount == 0)
        delete this;
}

void CEnum::CInternalEnum::AddEntry(int value, const std::string& text, const std::string& text2,
                                    int image, int order) {
    CEnumEntry entry;
    const CEnumEntry* last = m_entries.empty() ? nullptr : &m_entries.back();
    entry.m_value = value != kNext ? value : (last ? last->m_value + 1 : 0);
    entry.m_image = image != kNext ? image : (last ? last->m_image + 1 : 0);
    entry.m_order = order != kNext ? order : (last ? last->m_order + 1 : 0);
    entry.m_text = text;
    entry.m_text2 = text2;
    m_entries.push_back(std::move(entry));
    m_sorted = false;
}

const CEnumEntry& CEnum::CInternalEnum::Lookup(int value) {
    if (m_entries.size() > kLinearLookupLimit) {
        if (!m_sorted) {
            std::stable_sort(
                m_entries.begin(), m_entries.end(),
                [](const CEnumEntry& a, const CEnumEntry& b) { return a.m_value < b.m_value; });
            m_sorted = true;
        }
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), value,
                                   [](const CEnumEntry& e, int v) { return e.m_value < v; });
        return it != m_entries.end() && it->m_value == value ? *it : m_error;
    }
    for (const CEnumEntry& e : m_entries)
        if (e.m_value == value)
            return e;
    return m_error;
}

int CEnum::CInternalEnum::Compare(int a, int b) {
    const int oa = Lookup(a).m_order;
    const int ob = Lookup(b).m_order;
    return oa < ob ? -1 : (ob < oa ? 1 : 0); // no overflow for extreme order numbers
}

void CEnum::CInternalEnum::FillTable(CTableInterface* table) {
    for (const CEnumEntry& e : m_entries) {
        table->AddRow();
        table->GetCell(table->GetRowCount() - 1, 0)->SetInt(e.m_value);
    }
}

CEnum::CEnum(const char* text, std::shared_ptr<const Platform::IImageList> images)
    : m_enum(new CInternalEnum(std::move(images))) {
    m_enum->Retain();
    const std::string all = text ? text : "";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = all.find('\n', start);
        m_enum->AddEntry(CInternalEnum::kNext,
                         all.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

CEnum::CEnum(const CEnum& other) : m_enum(other.m_enum) {
    m_enum->Retain();
}

CEnum& CEnum::operator=(const CEnum& other) {
    other.m_enum->Retain();
    m_enum->Release();
    m_enum = other.m_enum;
    return *this;
}

CEnum::~CEnum() {
    m_enum->Release();
}

} // namespace Tavex
