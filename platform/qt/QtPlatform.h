// The window system's services with Qt Widgets: windows as widgets, focus and mouse grab,
// QMenu popups, the clipboard with text produced on request, message boxes and file dialogs,
// the wait cursor, key state, clock and metrics from the Qt style. Needs a QApplication, and
// must outlive every window created through it.
#pragma once

#include "platform/Platform.h"

#include <QImage>

#include <map>
#include <memory>

class QEventLoop;
class QObject;
class QWidget;

namespace PlatformQt {

class QtMenuFactory;
class OfferedText;

class QtPlatform : public Platform::IPlatform {
public:
    QtPlatform();
    ~QtPlatform() override;

    std::unique_ptr<Platform::IWindowPeer> CreatePeer(Platform::CWnd& owner, Platform::CWnd* parent,
                                                      Platform::WindowKind kind,
                                                      const Platform::Rect& rect,
                                                      unsigned style) override;
    void ForgetWindow(Platform::CWnd& wnd) override;
    int RunModalLoop(Platform::CWnd& window) override;
    void EndModalLoop(Platform::CWnd& window, int result) override;
    Platform::CWnd* SetFocus(Platform::CWnd* wnd) override;
    Platform::CWnd* GetFocus() const override;
    Platform::CWnd* SetCapture(Platform::CWnd& wnd) override;
    void ReleaseCapture() override;
    Platform::CWnd* GetCapture() const override { return m_capture; }
    Platform::IMenuFactory& GetMenuFactory() override;
    std::unique_ptr<Platform::IDrawContext> CreateMeasureContext() override;
    void HideToolTip() override;
    void SetClipboardText(const std::string& text) override;
    void OfferClipboardText(Platform::CWnd& owner) override;
    int MessageBox(Platform::CWnd* owner, const std::string& text, const std::string& caption,
                   unsigned type) override;
    bool GetSaveFileName(Platform::CWnd* owner, const Platform::SaveFileRequest& request,
                         std::string& path) override;
    bool GetOpenFileName(Platform::CWnd* owner, const Platform::OpenFileRequest& request,
                         std::string& path) override;
    int OpenWithDefaultHandler(const std::string& target) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    short GetKeyState(unsigned vk) const override;
    unsigned GetTickCount() const override;
    int GetSystemMetrics(int index) const override;
    Platform::ColorRef GetSysColor(int index) const override;
    int GetWheelScrollLines() const override;
    void MessageBeep(unsigned type) override;
    void AddAccelerator(Platform::CWnd& window, unsigned vk, bool control,
                        unsigned command) override;
    std::shared_ptr<const Platform::IImageList> LoadImageFile(const std::string& path) override;

    // The widget standing for a created window, for hosting it in Qt layouts and dialogs.
    QWidget* Widget(const Platform::CWnd& wnd) const;

    // Painting: the off-screen image shared by all windows, grown to at least the size.
    QImage& PaintBuffer(QSize size, qreal devicePixelRatio);
    // The last window that had the focus, for the old-window argument of OnSetFocus.
    Platform::CWnd* m_lastFocus = nullptr;
    // Peers add and remove themselves.
    std::map<const Platform::CWnd*, QWidget*> m_widgets;

private:
    friend class OfferedText;

    struct ModalLoop {
        QEventLoop* loop;
        int result;
        bool ended;
    };

    std::unique_ptr<QtMenuFactory> m_menus;
    std::unique_ptr<QObject> m_focusFrames;
    std::map<const Platform::CWnd*, ModalLoop*> m_modal;
    Platform::CWnd* m_capture = nullptr;
    Platform::CWnd* m_clipboardOwner = nullptr;
    QImage m_paintBuffer;
};

} // namespace PlatformQt
