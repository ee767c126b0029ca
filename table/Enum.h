// Enumerations: integer cell values mapped to texts, images and a sort order, shared by
// reference count between the column definitions, comparers and outputs that use them.
#pragma once

#include "platform/DrawContext.h"

#include <memory>
#include <string>
#include <vector>

namespace Tavex {

class CTableInterface;

struct CEnumEntry {
    int m_value = 0;
    std::string m_text;
    std::string m_text2; // second text: the tool tip when not empty
    int m_image = -1;
    int m_order = 0;
};

class CAbstractEnum {
public:
    virtual ~CAbstractEnum() = default;
    virtual void Retain() {}
    virtual void Release() {}
    virtual const CEnumEntry& Lookup(int value) = 0;
    // Order number of a's entry minus that of b's; only the sign counts.
    virtual int Compare(int a, int b) = 0;
    // One row per entry, in entry order, its value in the row's first (integer) cell.
    virtual void FillTable(CTableInterface* table) = 0;

    // May be null: an enumeration without images.
    const Platform::IImageList* GetImageList() const { return m_images.get(); }

protected:
    std::shared_ptr<const Platform::IImageList> m_images;
};

class CEnum {
public:
    class CInternalEnum : public CAbstractEnum {
    public:
        explicit CInternalEnum(std::shared_ptr<const Platform::IImageList> images = {});

        void Retain() override { ++m_refCount; }
        // Destroys the enumeration when the count drops from 1 to 0.
        void Release() override;
        const CEnumEntry& Lookup(int value) override;
        int Compare(int a, int b) override;
        void FillTable(CTableInterface* table) override;

        static constexpr int kNext = -1;
        // Value, image or order kNext continue from the last entry (0 for the first).
        void AddEntry(int value, const std::string& text, const std::string& text2 = {},
                      int image = kNext, int order = kNext);
        int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
        int GetRefCount() const { return m_refCount; }

    private:
        ~CInternalEnum() override = default;

        std::vector<CEnumEntry> m_entries;
        CEnumEntry m_error;
        int m_refCount = 0;
        bool m_sorted = false;
    };

    // Entries from the pieces of text between line feeds, with values 0, 1, 2 ... in order;
    // the piece after the last line feed is an entry too, even when empty. The images (the
    // platform's image list, may be null) are indexed 0, 1, 2 ... by the same entries.
    explicit CEnum(const char* text, std::shared_ptr<const Platform::IImageList> images = {});
    CEnum(const CEnum& other);
    CEnum& operator=(const CEnum& other);
    ~CEnum();

    CInternalEnum* Get() const { return m_enum; }
    operator CAbstractEnum*() const { return m_enum; }
    CInternalEnum* operator->() const { return m_enum; }

private:
    CInternalEnum* m_enum;
};

} // namespace Tavex
