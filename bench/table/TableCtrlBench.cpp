// The table control's painting of one full body view (its cost must not depend on the row
// count) and one header click that sorts 100,000 rows, on the headless window system.
#include "table/ColDef.h"
#include "table/TableCtrl.h"
#include "tests/support/FakePlatform.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

using namespace Platform;
using namespace Tavex;

namespace {

// Draws nothing and measures like the headless context: the time is the control's own.
class NullDrawContext : public IDrawContext {
public:
    int SaveDC() override { return ++m_level; }
    bool RestoreDC(int) override {
        m_level = m_level > 0 ? m_level - 1 : 0;
        return true;
    }
    Font SelectFont(const Font& font) override { return font; }
    Pen SelectPen(const Pen& pen) override { return pen; }
    ColorRef SetTextColor(ColorRef colour) override { return colour; }
    ColorRef SetBkColor(ColorRef colour) override { return colour; }
    int SetBkMode(int mode) override { return mode; }
    Size GetTextExtent(std::string_view text) override {
        return {7 * static_cast<int>(text.size()), 13};
    }
    TextMetrics GetTextMetrics() override {
        TextMetrics tm;
        tm.tmHeight = 13;
        return tm;
    }
    int DrawText(std::string_view text, Rect&, unsigned) override {
        benchmark::DoNotOptimize(text.data());
        ++m_texts;
        return 13;
    }
    void TextOut(int, int, std::string_view) override {}
    void FillSolidRect(const Rect&, ColorRef) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void DrawFocusRect(const Rect&) override {}
    void DrawFrameControl(const Rect&, unsigned, unsigned) override {}
    void DrawImage(const IImageList&, int, int, int, unsigned) override {}

    long m_texts = 0;

private:
    int m_level = 0;
};

// A 760 x 480 control with five columns (text, number, number, text, hidden random key).
struct Fixture {
    TestSupport::FakePlatform platform;
    CWnd dialog;
    CWnd placeholder;
    CStringCol stringCol;
    CIntCol intCol;
    std::unique_ptr<CTableCtrl> ctrl;

    explicit Fixture(int rows) {
        dialog.CreateTopLevel(platform, {0, 0, 800, 520}, WS_VISIBLE);
        placeholder.Create(dialog, {0, 0, 760, 480}, WS_VISIBLE, 1);
        ctrl = std::make_unique<CTableCtrl>();
        ctrl->ReplaceDlgItem(1, dialog);
        ctrl->SetColumnCount(5);
        ctrl->SetColumn(0, &stringCol, "Name", 150);
        ctrl->SetColumn(1, &intCol, "Score", 60);
        ctrl->SetColumn(2, &intCol, "Ping", 60);
        ctrl->SetColumn(3, &stringCol, "Map", 200);
        ctrl->SetColumn(4, &intCol, nullptr, 0);
        ctrl->Build();
        std::mt19937 random(7);
        for (int i = 0; i < rows; ++i) {
            CRow* row = ctrl->AddRow();
            row->GetCell(0)->SetString("Player " + std::to_string(random() % 1000000));
            row->GetCell(1)->SetInt(static_cast<int>(random() % 400) - 100);
            row->GetCell(2)->SetInt(static_cast<int>(random() % 300));
            row->GetCell(3)->SetString("ffa_map_" + std::to_string(i % 37));
            row->GetCell(4)->SetInt(static_cast<int>(random()));
        }
        ctrl->Redraw(false);
    }
};

void BM_PaintBodyView(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    // Somewhere in the middle, with a selected row in view.
    f.ctrl->SetCurrentRow(f.ctrl->GetRowCount() / 2);
    f.ctrl->Redraw(true);
    CTableDisplay& body = f.ctrl->GetBody();
    const Rect clip = body.GetClientRect();
    NullDrawContext dc;
    for (auto _ : state)
        body.Paint(dc, clip);
    state.counters["texts_per_paint"] =
        static_cast<double>(dc.m_texts) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PaintBodyView)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_HeaderClickSort(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    CHeaderDisplay& header = f.ctrl->GetHeader();
    for (auto _ : state) {
        state.PauseTiming();
        // Back to a random order; the name column is then unsorted and a click sorts it
        // ascending.
        f.ctrl->Sort(CSortKeys{4, CSortKeys::kAscending, -1});
        state.ResumeTiming();
        f.platform.Click(header, {40, 8});
    }
    if (f.ctrl->GetSortKeys()->GetCount() != 1 || f.ctrl->GetSortKeys()->GetColumn(0) != 0)
        state.SkipWithError("the click did not sort by the name column");
}
BENCHMARK(BM_HeaderClickSort)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
