// A dialog with one table control made from a list-view placeholder on the headless window
// system, a parent that records (and may veto) notifications, and a private store directory.
#pragma once

#include "table/ColDef.h"
#include "table/TableCtrl.h"
#include "tests/support/FakeDrawContext.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace TableCtrlTesting {

struct Note {
    int code;
    int row;
    int column;
    bool operator==(const Note&) const = default;
};

inline void PrintTo(const Note& n, std::ostream* os) {
    *os << "{" << n.code << ", " << n.row << ", " << n.column << "}";
}

class Dialog : public Platform::CWnd {
public:
    long OnNotify(Platform::NMHDR& hdr) override {
        if (hdr.code == Platform::NM_KEYDOWN) {
            keys.push_back(static_cast<Platform::NMKEY&>(hdr).nVKey);
            auto it = answers.find(hdr.code);
            return it == answers.end() ? 0 : it->second;
        }
        auto& record = static_cast<Tavex::NMTABLE&>(hdr);
        notes.push_back({record.code, record.iRow, record.iColumn});
        last = record;
        auto it = answers.find(record.code);
        if (it == answers.end())
            return 0;
        if (!replaceText.empty())
            record.text = replaceText;
        return it->second;
    }
    // Codes of the notifications received, in order.
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Note& n : notes)
            codes.push_back(n.code);
        return codes;
    }

    std::vector<Note> notes;
    std::vector<unsigned> keys;
    Tavex::NMTABLE last;
    std::map<int, long> answers;
    std::string replaceText;
};

// A fresh store directory for the life of the object, so the look settings start empty.
class ScopedConfigDir {
public:
    ScopedConfigDir() {
        char pattern[] = "/tmp/tablectrl-test-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("VANTREL_CONFIG_DIR", m_dir.c_str(), 1);
    }
    ~ScopedConfigDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    const std::string& Path() const { return m_dir; }

private:
    std::string m_dir;
};

class TableCtrlTest : public ::testing::Test {
protected:
    static constexpr unsigned kId = 1012;
    static constexpr int kRowHeight = 17; // 13 px text + 2 output + 2 margins

    // A dialog whose placeholder gives a control of width x height with the style bits.
    void Make(int width, int height, unsigned listStyle = 0) {
        ASSERT_TRUE(dialog.CreateTopLevel(platform, {0, 0, 800, 600}, Platform::WS_VISIBLE));
        placeholder.Create(dialog, {10, 20, 10 + width, 20 + height},
                           Platform::WS_CHILD | Platform::WS_VISIBLE | listStyle, kId);
        ctrl = std::make_unique<Tavex::CTableCtrl>();
        ASSERT_TRUE(ctrl->ReplaceDlgItem(kId, dialog));
    }

    // Three columns (Name, Score, City) of the given widths and rows named as given, with
    // score = row index * 10 - 20.
    void Fill(const std::vector<std::string>& names, int w0 = 100, int w1 = 100, int w2 = 100) {
        ctrl->SetColumnCount(3);
        ctrl->SetColumn(0, &stringCol, "Name", w0);
        ctrl->SetColumn(1, &intCol, "Score", w1);
        ctrl->SetColumn(2, &stringCol, "City", w2);
        ctrl->Build();
        for (std::size_t i = 0; i < names.size(); ++i) {
            Tavex::CRow* row = ctrl->AddRow();
            row->GetCell(0)->SetString(names[i]);
            row->GetCell(1)->SetInt(static_cast<int>(i) * 10 - 20);
            row->GetCell(2)->SetString("City " + std::to_string(i));
        }
        ctrl->Redraw(false);
    }

    void Rows(int count, int width = 100) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
            names.push_back("Row " + std::to_string(i));
        Fill(names, width, width, width);
    }

    Platform::Point RowPoint(int row, int x = 20) const {
        return {x, row * kRowHeight + 5 - ctrl->GetVertPos()};
    }
    void ClickRow(int row) { platform.Click(ctrl->GetBody(), RowPoint(row)); }
    void ClickHeader(int x) { platform.Click(ctrl->GetHeader(), {x, 8}); }

    std::vector<int> Selected() const {
        std::vector<int> rows;
        for (int r = 0; r < ctrl->GetRowCount(); ++r)
            if (ctrl->IsRowSelected(r))
                rows.push_back(r);
        return rows;
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int r = 0; r < ctrl->GetRowCount(); ++r)
            texts.push_back(ctrl->GetCellText(r, column));
        return texts;
    }
    const Platform::Rect& Where(const Platform::CWnd& wnd) const {
        return platform.Window(wnd).rect;
    }

    ScopedConfigDir config;
    TestSupport::FakePlatform platform;
    Dialog dialog;
    Platform::CWnd placeholder;
    Tavex::CStringCol stringCol;
    Tavex::CIntCol intCol{Tavex::kIntColumnFormat, Tavex::CIntFormat(true, locale)};
    std::unique_ptr<Tavex::CTableCtrl> ctrl;

private:
    static inline const Tavex::CLocaleSettings locale{};
};

} // namespace TableCtrlTesting
