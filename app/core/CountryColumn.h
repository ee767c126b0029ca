// The "Country" column: a flag and the ISO 3166 code, whose text (the code) is what sorting,
// copy and export see. Flags are PNG files named by the code in lower case; a missing one
// leaves the flag out.
#pragma once

#include "platform/DrawContext.h"
#include "table/CellOutput.h"
#include "table/ColDef.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// Debian's famfamfam-flag-png, 16 x 11 pixels.
inline constexpr const char* kFlagFolder = "/usr/share/flags/countries/16x11";

// Each flag loaded once, when a code is first drawn.
class CFlagImages {
public:
    using Loader = std::function<std::shared_ptr<const Platform::IImageList>(const std::string&)>;

    void SetSource(std::string folder, Loader loader);
    // Null for an empty code, a code that is no two letters, and a flag that will not load.
    const Platform::IImageList* Find(const std::string& code);

private:
    std::string m_folder;
    Loader m_loader;
    std::map<std::string, std::shared_ptr<const Platform::IImageList>> m_loaded;
};

class CCountryOut : public Tavex::CStringOut {
public:
    explicit CCountryOut(std::shared_ptr<CFlagImages> flags)
        : CStringOut(Tavex::kStringColumnFormat, Tavex::CFormat()), m_flags(std::move(flags)) {}
    void Draw(const Platform::Rect& rect, const Tavex::CCellData& cell, bool selected) override;
    int GetTextWidth(const Tavex::CCellData& cell) override;

    static constexpr int kGap = 3;

private:
    std::shared_ptr<CFlagImages> m_flags;
};

class CCountryCol : public Tavex::CStringCol {
public:
    CCountryCol() : m_flags(std::make_shared<CFlagImages>()) {}
    Tavex::CCellOutput* CreateOutput() const override { return new CCountryOut(m_flags); }
    CFlagImages& Flags() { return *m_flags; }

private:
    std::shared_ptr<CFlagImages> m_flags;
};
