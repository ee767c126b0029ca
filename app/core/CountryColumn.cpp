#include "app/core/CountryColumn.h"

#include "table/Cells.h"

void CFlagImages::SetSource(std::string folder, Loader loader) {
    m_folder = std::move(folder);
    m_loader = std::move(loader);
    m_loaded.clear();
}

const Platform::IImageList* CFlagImages::Find(const std::string& code) {
    if (code.size() != 2 || !m_loader)
        return nullptr;
    std::string file;
    for (char c : code) {
        if (c < 'A' || c > 'Z')
            return nullptr; // never a path of the sender's choosing
        file += static_cast<char>(c - 'A' + 'a');
    }
    auto found = m_loaded.find(code);
    if (found == m_loaded.end())
        found = m_loaded.emplace(code, m_loader(m_folder + "/" + file + ".png")).first;
    const Platform::IImageList* images = found->second.get();
    return images && images->GetImageCount() > 0 ? images : nullptr;
}

int CCountryOut::GetTextWidth(const Tavex::CCellData& cell) {
    const std::string code = GetText(cell);
    if (code.empty())
        return 0;
    const Platform::IImageList* flag = m_flags->Find(code);
    return (flag ? flag->GetImageSize().cx + kGap : 0) + TextWidth(code);
}

void CCountryOut::Draw(const Platform::Rect& rect, const Tavex::CCellData& cell, bool selected) {
    if (!Context())
        return;
    const std::string code = GetText(cell);
    Platform::Rect text = rect;
    if (const Platform::IImageList* flag = code.empty() ? nullptr : m_flags->Find(code)) {
        const Platform::Size size = flag->GetImageSize();
        if (size.cx <= rect.Width()) {
            Context()->DrawImage(*flag, 0, rect.left, (rect.top + rect.bottom - size.cy) / 2, 0);
            text.left += size.cx + kGap;
        }
    }
    CStringOut::Draw(text, cell, selected);
}
