#include "tests/support/FakePlatform.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using TestSupport::FakePlatform;

namespace {

class Probe : public CWnd {
public:
    explicit Probe(std::vector<std::string>& log, std::string name) : m_log(log), m_name(name) {}

    void OnLButtonDown(unsigned f, Point p) override { Log("down", p, f); }
    void OnLButtonUp(unsigned f, Point p) override { Log("up", p, f); }
    void OnLButtonDblClk(unsigned f, Point p) override { Log("dbl", p, f); }
    void OnMouseMove(unsigned f, Point p) override { Log("move", p, f); }
    void OnKeyDown(unsigned vk, unsigned, unsigned) override { Log("key", {int(vk), 0}, 0); }
    void OnChar(unsigned ch, unsigned, unsigned) override { Log("char", {int(ch), 0}, 0); }
    void OnSetFocus(CWnd* old) override { Log("setfocus", {old != nullptr, 0}, 0); }
    void OnKillFocus(CWnd* now) override { Log("killfocus", {now != nullptr, 0}, 0); }
    void OnCaptureChanged(CWnd* now) override { Log("capturelost", {now != nullptr, 0}, 0); }
    void OnTimer(unsigned id) override {
        Log("timer", {int(id), int(GetPlatform().GetTickCount())}, 0);
        if (onTimer)
            onTimer(id);
    }
    std::string OnRenderClipboardText() override { return text; }

    std::function<void(unsigned)> onTimer;
    std::string text;

private:
    void Log(const char* what, Point p, unsigned f) {
        m_log.push_back(m_name + " " + what + " " + std::to_string(p.x) + "," +
                        std::to_string(p.y) + " " + std::to_string(f));
    }
    std::vector<std::string>& m_log;
    std::string m_name;
};

using Log = std::vector<std::string>;

} // namespace

TEST(FakePlatformTest, CaptureRedirectsMouseInItsOwnCoordinates) {
    FakePlatform platform;
    Log log;
    Probe top(log, "top"), a(log, "a"), b(log, "b");
    top.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
    a.Create(top, {0, 0, 100, 100}, WS_VISIBLE, 1);
    b.Create(top, {200, 50, 300, 150}, WS_VISIBLE, 2);

    platform.LButtonDown(a, {10, 10});
    a.SetCapture();
    platform.SetKeyDown(VK_SHIFT, true);
    platform.MouseMove(b, {5, 5}); // over b, but a holds the capture
    b.SetCapture();                // a hears that it lost the capture
    platform.LButtonUp(a, {0, 0});
    b.ReleaseCapture();
    platform.MouseMove(a, {1, 1});
    EXPECT_EQ(log, (Log{"a down 10,10 1", "a move 205,55 5", "a capturelost 1,0 0",
                        "b up -200,-50 4", "b capturelost 0,0 0", "a move 1,1 4"}));
    EXPECT_EQ(platform.GetCapture(), nullptr);
}

TEST(FakePlatformTest, DoubleClickSequenceAndFocusedKeys) {
    FakePlatform platform;
    Log log;
    Probe top(log, "top"), a(log, "a"), b(log, "b");
    top.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
    a.Create(top, {0, 0, 100, 100}, WS_VISIBLE, 1);
    b.Create(top, {200, 50, 300, 150}, WS_VISIBLE, 2);

    platform.KeyDown(VK_DOWN); // nobody has the focus: nothing
    platform.DoubleClick(a, {3, 4});
    a.SetFocus();
    b.SetFocus();
    EXPECT_EQ(b.SetFocus(), &b); // no change, no messages
    platform.KeyDown(VK_DOWN);
    platform.Char(0xE4);
    platform.KeyDown(VK_RETURN); // b does not ask for it: the dialog's
    EXPECT_EQ(log, (Log{"a down 3,4 1", "a up 3,4 0", "a dbl 3,4 1", "a up 3,4 0",
                        "a setfocus 0,0 0", "a killfocus 1,0 0", "b setfocus 1,0 0", "b key 40,0 0",
                        "b char 228,0 0", "top key 13,0 0"}));

    // A destroyed window leaves neither focus nor capture behind.
    b.SetCapture();
    b.DestroyWindow();
    EXPECT_EQ(platform.GetFocus(), nullptr);
    EXPECT_EQ(platform.GetCapture(), nullptr);
}

TEST(FakePlatformTest, TimersFireInTimeOrderAndCanBeChangedFromHandlers) {
    FakePlatform platform;
    Log log;
    Probe top(log, "top"), a(log, "a");
    top.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
    a.Create(top, {0, 0, 100, 100}, WS_VISIBLE, 1);

    const unsigned t0 = platform.GetTickCount();
    a.SetTimer(1, 60);
    top.SetTimer(2, 100);
    a.SetTimer(3, 60); // due with timer 1: fires after it
    a.onTimer = [&](unsigned id) {
        if (id == 3)
            a.KillTimer(3);
        if (id == 1 && platform.GetTickCount() - t0 == 120)
            top.SetTimer(2, 10); // restart: due at 130 instead of 200
    };
    platform.Advance(150);
    auto at = [&](const char* who, int id, unsigned ms) {
        return std::string(who) + " timer " + std::to_string(id) + "," + std::to_string(t0 + ms) +
               " 0";
    };
    EXPECT_EQ(log, (Log{at("a", 1, 60), at("a", 3, 60), at("top", 2, 100), at("a", 1, 120),
                        at("top", 2, 130), at("top", 2, 140), at("top", 2, 150)}));
    EXPECT_EQ(platform.GetTickCount(), t0 + 150);
    EXPECT_FALSE(platform.HasTimer(a, 3));

    a.DestroyWindow(); // its timers go with it
    EXPECT_FALSE(platform.HasTimer(a, 1));
}

TEST(FakePlatformTest, OfferedClipboardTextIsProducedOnRequestOnly) {
    FakePlatform platform;
    Log log;
    Probe top(log, "top"), a(log, "a");
    top.CreateTopLevel(platform, {0, 0, 400, 300}, WS_VISIBLE);
    a.Create(top, {0, 0, 100, 100}, WS_VISIBLE, 1);

    a.text = "at copy time";
    platform.OfferClipboardText(a);
    EXPECT_EQ(platform.clipboardRenders, 0);
    a.text = "at paste time";
    EXPECT_EQ(platform.ClipboardText(), "at paste time");
    a.text = "later";
    EXPECT_EQ(platform.ClipboardText(), "at paste time"); // rendered once, then kept
    EXPECT_EQ(platform.clipboardRenders, 1);

    platform.SetClipboardText("cell");
    EXPECT_EQ(platform.ClipboardText(), "cell");

    // A pending offer dies with its window.
    platform.OfferClipboardText(a);
    a.DestroyWindow();
    EXPECT_EQ(platform.ClipboardText(), std::nullopt);
    EXPECT_EQ(platform.clipboardRenders, 1);
}
