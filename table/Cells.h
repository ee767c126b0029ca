// Typed cells that live in place inside row records, the factories that make and size them,
// and the comparers that order them for sorting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

namespace Tavex {

class CAbstractEnum;

// Every cell in a row record starts at a multiple of this; cell classes must not need more.
constexpr std::size_t kCellAlign = alignof(void*);

// A date-time value; cells that hold none answer the null value (0, status null).
struct CDateTime {
    static constexpr int kValid = 0;
    static constexpr int kInvalid = 1;
    static constexpr int kNull = 2;
    double m_value = 0.0;
    int m_status = kNull;
};

// Base of all cells. The Reserved operations keep their places in the interface for cell
// kinds this program does not have; every cell here keeps their base behaviour.
class CCellData {
public:
    virtual ~CCellData() = default;
    virtual void Reserved1(int, int, int) {}
    virtual void SetString(const std::string&) {}
    virtual void SetText(const char*) {}
    virtual void Reserved2(int) {}
    virtual void SetDouble(double) {}
    virtual void Reserved3(std::int64_t) {}
    virtual void SetInt(int) {}
    virtual void Reserved4(int) {}
    // Takes the value of another cell of the same class.
    virtual void Assign(const CCellData& other) = 0;
    virtual bool Reserved5() const { return false; }
    virtual int GetInt() const { return 0; }
    virtual std::int64_t Reserved6() const { return 0; }
    virtual double GetDouble() const { return 0.0; }
    virtual bool Reserved7() const { return false; }
    virtual const char* GetText() const { return nullptr; }
    virtual std::string GetString() const { return {}; }
    virtual CDateTime GetDate() const { return {}; }
    virtual bool LessThan(const CCellData& other) const = 0;
    virtual bool LessOrEqual(const CCellData& other) const {
        return LessThan(other) || !other.LessThan(*this);
    }
    virtual bool Greater(const CCellData& other) const { return !LessOrEqual(other); }
    virtual bool GreaterOrEqual(const CCellData& other) const { return !LessThan(other); }
    virtual bool Equal(const CCellData& other) const {
        return !other.LessThan(*this) && !LessThan(other);
    }
    virtual bool NotEqual(const CCellData& other) const { return !Equal(other); }
    // Whether removing all rows must run this column's cell destructors.
    virtual bool NeedsDestruction() const { return false; }
    // -1, 0 or 1 with exactly the order of LessThan; a cell kind whose order comes from one
    // three-way comparison answers it with a single call, which halves the cost of sorting.
    virtual int CompareTo(const CCellData& other) const {
        return LessThan(other) ? -1 : (other.LessThan(*this) ? 1 : 0);
    }
};

// A text cell. Ordered case-insensitively by the program's collation; empty first.
class CDString : public CCellData {
public:
    CDString() = default;
    explicit CDString(std::string value) : m_value(std::move(value)) {}

    void SetString(const std::string& value) override { m_value = value; }
    void SetText(const char* text) override { m_value = text ? text : ""; }
    void Assign(const CCellData& other) override {
        m_value = static_cast<const CDString&>(other).m_value;
    }
    const char* GetText() const override { return m_value.c_str(); }
    std::string GetString() const override { return m_value; }
    bool LessThan(const CCellData& other) const override;
    bool NeedsDestruction() const override { return true; }
    int CompareTo(const CCellData& other) const override;

    const std::string& Value() const { return m_value; }

private:
    std::string m_value;
};

// A signed 32-bit integer cell; enumeration columns keep their values in it too.
class CDInt : public CCellData {
public:
    CDInt() = default;
    explicit CDInt(int value) : m_value(value) {}

    // Truncates toward zero; values beyond the int range saturate instead of overflowing.
    void SetDouble(double value) override;
    void SetInt(int value) override { m_value = value; }
    void Assign(const CCellData& other) override {
        m_value = static_cast<const CDInt&>(other).m_value;
    }
    int GetInt() const override { return m_value; }
    bool LessThan(const CCellData& other) const override {
        return m_value < static_cast<const CDInt&>(other).m_value;
    }
    int CompareTo(const CCellData& other) const override {
        const int o = static_cast<const CDInt&>(other).m_value;
        return m_value < o ? -1 : (o < m_value ? 1 : 0);
    }

private:
    int m_value = 0;
};

// Makes and sizes the cells of one column.
class CCellFactory {
public:
    virtual ~CCellFactory() = default;
    virtual std::size_t GetCellSize() const = 0;
    // The cell whose value every new cell of the column starts with.
    virtual CCellData* GetPrototype() = 0;
    // A factory of the same cell class with a default prototype.
    virtual CCellFactory* Clone() const = 0;
    // Constructs a copy of source (a cell of this factory's class) in the raw memory at place,
    // which holds GetCellSize() bytes aligned for any cell.
    virtual CCellData* CopyConstruct(void* place, const CCellData& source) const = 0;
    // Constructs count copies of source, the first at first, each next one stride bytes
    // further: a new block of rows costs one call per column, not one per cell.
    virtual void FillCells(std::byte* first, std::size_t stride, int count,
                           const CCellData& source) const = 0;
    // Destroys count cells of this factory's class, the first at first, each next one stride
    // bytes further: clearing a table costs one call per block and column, not per cell.
    virtual void DestroyCells(std::byte* first, std::size_t stride, int count) const = 0;
};

template <class T> class CFAny : public CCellFactory {
public:
    std::size_t GetCellSize() const override { return sizeof(T); }
    CCellData* GetPrototype() override { return &m_prototype; }
    CCellFactory* Clone() const override { return new CFAny<T>; }
    CCellData* CopyConstruct(void* place, const CCellData& source) const override {
        return ::new (place) T(static_cast<const T&>(source));
    }
    void FillCells(std::byte* first, std::size_t stride, int count,
                   const CCellData& source) const override {
        const T& value = static_cast<const T&>(source);
        for (int i = 0; i < count; ++i, first += stride)
            ::new (first) T(value);
    }
    void DestroyCells(std::byte* first, std::size_t stride, int count) const override {
        for (int i = 0; i < count; ++i, first += stride)
            std::launder(reinterpret_cast<T*>(first))->T::~T();
    }

private:
    T m_prototype;
};

// Orders two cells of one column: -1, 0 (a tie) or 1.
class CCellCompare {
public:
    virtual ~CCellCompare() = default;
    virtual int Compare(const CCellData& a, const CCellData& b) const { return a.CompareTo(b); }
    virtual CCellCompare* Clone() const { return new CCellCompare; }
};

// Orders enumeration cells by the order numbers of their entries, not by text or value.
class CEnumCompare : public CCellCompare {
public:
    explicit CEnumCompare(CAbstractEnum* enumeration);
    ~CEnumCompare() override;
    CEnumCompare(const CEnumCompare&) = delete;
    CEnumCompare& operator=(const CEnumCompare&) = delete;

    int Compare(const CCellData& a, const CCellData& b) const override;
    CCellCompare* Clone() const override { return new CEnumCompare(m_enum); }

private:
    CAbstractEnum* m_enum;
};

} // namespace Tavex
