#include "platform/qt/QtControls.h"

#include "platform/Controls.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QVBoxLayout>

namespace PlatformQt {

using namespace Platform;

namespace {

template <class W> class ControlWidget : public W, public PeerWidget {
public:
    ControlWidget(QtPlatform& platform, QWidget* parent) : W(parent), m_platform(platform) {}

    // Tells the owner's parent, as Win32 controls notify with WM_COMMAND.
    void Notify(unsigned code) {
        if (!m_owner)
            return;
        HandlerScope running;
        m_owner->SendCommand(code);
    }

protected:
    bool event(QEvent* e) override {
        if (m_owner && e->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(e);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                unsigned wants = 0;
                {
                    HandlerScope running;
                    wants = m_owner->OnGetDlgCode();
                }
                // Controls that want Tab get it before it moves the focus.
                if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) {
                    keyPressEvent(key);
                    return true;
                }
            }
        }
        return W::event(e);
    }

    void keyPressEvent(QKeyEvent* e) override {
        auto* control = dynamic_cast<CControl*>(m_owner);
        if (!control)
            return W::keyPressEvent(e);
        HandlerScope running;
        if (unsigned vk = VirtualKeyFromQt(e->key())) {
            if (!control->FilterKeyDown(vk, 1, e->isAutoRepeat() ? KF_REPEAT : 0)) {
                e->accept();
                return;
            }
            if (!m_owner)
                return; // the handler closed the control
        }
        // Inside a dialog, Enter and Escape belong to the dialog unless the control asks.
        const bool dialogKey =
            e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape;
        const bool wantsAll = m_owner->OnGetDlgCode() & DLGC_WANTALLKEYS;
        if (dialogKey && !wantsAll) {
            e->ignore();
            return;
        }
        W::keyPressEvent(e);
        // What a control that wants every key leaves unused goes nowhere else.
        if (wantsAll)
            e->accept();
    }

    void focusInEvent(QFocusEvent* e) override {
        W::focusInEvent(e);
        if (!m_owner)
            return;
        CWnd* old = m_platform.m_lastFocus;
        m_platform.m_lastFocus = m_owner;
        HandlerScope running;
        m_owner->OnSetFocus(old == m_owner ? nullptr : old);
    }

    void focusOutEvent(QFocusEvent* e) override {
        W::focusOutEvent(e);
        if (!m_owner)
            return;
        HandlerScope running;
        m_owner->OnKillFocus(OwnerOf(QApplication::focusWidget()));
    }

private:
    QtPlatform& m_platform;
};

// A tab control: the tab row, and a frame around the page where the dialog puts its controls.
class TabControl : public QWidget, public PeerWidget {
public:
    explicit TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
        m_bar->setDrawBase(false);
        QObject::connect(m_bar, &QTabBar::currentChanged, this, [this] {
            if (!m_owner)
                return;
            HandlerScope running;
            NMHDR hdr;
            hdr.code = TCN_SELCHANGE;
            m_owner->SendNotify(hdr);
        });
    }
    QTabBar* Bar() const { return m_bar; }

protected:
    void resizeEvent(QResizeEvent*) override {
        m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(0, m_bar->sizeHint().height() - 1, 0, 0);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    }

private:
    QTabBar* m_bar;
};

// "&&" is an ampersand, a single "&" only marks the next letter.
QString WithoutMnemonics(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

QWidget* CreateControlWidget(QtPlatform& platform, WindowKind kind, unsigned style,
                             QWidget* parent) {
    switch (kind) {
    case WindowKind::PushButton:
    case WindowKind::DefPushButton: {
        auto* button = new ControlWidget<QPushButton>(platform, parent);
        button->setDefault(kind == WindowKind::DefPushButton);
        QObject::connect(button, &QPushButton::clicked, button,
                         [button] { button->Notify(BN_CLICKED); });
        return button;
    }
    case WindowKind::CheckBox: {
        auto* box = new ControlWidget<QCheckBox>(platform, parent);
        QObject::connect(box, &QCheckBox::clicked, box, [box] { box->Notify(BN_CLICKED); });
        return box;
    }
    case WindowKind::Static: {
        auto* label = new ControlWidget<QLabel>(platform, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        return label;
    }
    case WindowKind::GroupBox: {
        // A frame drawn beneath its neighbours that never takes their clicks.
        auto* group = new ControlWidget<QGroupBox>(platform, parent);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->lower();
        return group;
    }
    case WindowKind::Edit: {
        auto* edit = new ControlWidget<QLineEdit>(platform, parent);
        if (style & ES_PASSWORD)
            edit->setEchoMode(QLineEdit::Password);
        edit->setReadOnly(style & ES_READONLY);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] { edit->Notify(EN_CHANGE); });
        return edit;
    }
    case WindowKind::ComboBox: {
        auto* combo = new ControlWidget<QComboBox>(platform, parent);
        combo->setEditable((style & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST);
        combo->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                         [combo] { combo->Notify(CBN_SELCHANGE); });
        if (QLineEdit* edit = combo->lineEdit())
            QObject::connect(edit, &QLineEdit::textEdited, combo,
                             [combo] { combo->Notify(CBN_EDITCHANGE); });
        return combo;
    }
    case WindowKind::Progress: {
        auto* bar = new ControlWidget<QProgressBar>(platform, parent);
        bar->setTextVisible(false);
        return bar;
    }
    case WindowKind::Tab:
        return new TabControl(parent);
    default:
        return nullptr;
    }
}

void SetControlValue(QWidget* widget, int value) {
    // The program's own changes are not the user's: no notification.
    QSignalBlocker quiet(widget);
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(value == BST_CHECKED);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(value);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        bar->setValue(value);
    } else if (auto* tabs = dynamic_cast<TabControl*>(widget)) {
        QSignalBlocker quietBar(tabs->Bar());
        tabs->Bar()->setCurrentIndex(value);
    }
}

int ControlValue(const QWidget* widget) {
    if (auto* box = qobject_cast<const QCheckBox*>(widget))
        return box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentIndex();
    if (auto* bar = qobject_cast<const QProgressBar*>(widget))
        return bar->value();
    if (auto* tabs = dynamic_cast<const TabControl*>(widget))
        return tabs->Bar()->currentIndex();
    return 0;
}

void SetControlItems(QWidget* widget, const std::vector<std::string>& items) {
    QSignalBlocker quiet(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QString text = combo->currentText();
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(FromCp1252(item));
        // The edit field keeps what was typed; the caller restores the selection.
        if (combo->isEditable())
            combo->setEditText(text);
    } else if (auto* tabs = dynamic_cast<TabControl*>(widget)) {
        QSignalBlocker quietBar(tabs->Bar());
        while (tabs->Bar()->count() > 0)
            tabs->Bar()->removeTab(0);
        for (const std::string& item : items)
            tabs->Bar()->addTab(FromCp1252(item));
    }
}

void ShowText(QWidget* widget, const std::string& text) {
    QString shown = FromCp1252(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(shown);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(shown);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(WithoutMnemonics(shown));
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(shown);
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable())
            combo->setEditText(shown);
    } else if (qobject_cast<QProgressBar*>(widget) || dynamic_cast<TabControl*>(widget))
        return; // no text of their own
    else
        widget->setWindowTitle(shown);
}

} // namespace PlatformQt
