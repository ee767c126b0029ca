#include "platform/qt/QtControls.h"

#include "platform/Controls.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace PlatformQt {

using namespace Platform;

namespace {

template <class W> class ControlWidget : public W, public PeerWidget {
public:
    explicit ControlWidget(QWidget* parent) : W(parent) {}

    // Tells the owner's parent, as Win32 controls notify with WM_COMMAND.
    void Notify(unsigned code) {
        if (!m_owner)
            return;
        HandlerScope running;
        m_owner->SendCommand(code);
    }
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

QWidget* CreateControlWidget(WindowKind kind, unsigned style, QWidget* parent) {
    switch (kind) {
    case WindowKind::PushButton:
    case WindowKind::DefPushButton: {
        auto* button = new ControlWidget<QPushButton>(parent);
        button->setDefault(kind == WindowKind::DefPushButton);
        QObject::connect(button, &QPushButton::clicked, button,
                         [button] { button->Notify(BN_CLICKED); });
        return button;
    }
    case WindowKind::CheckBox: {
        auto* box = new ControlWidget<QCheckBox>(parent);
        QObject::connect(box, &QCheckBox::clicked, box, [box] { box->Notify(BN_CLICKED); });
        return box;
    }
    case WindowKind::Static: {
        auto* label = new ControlWidget<QLabel>(parent);
        label->setTextFormat(Qt::PlainText);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        return label;
    }
    case WindowKind::GroupBox: {
        // A frame drawn beneath its neighbours that never takes their clicks.
        auto* group = new ControlWidget<QGroupBox>(parent);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->lower();
        return group;
    }
    case WindowKind::Edit: {
        auto* edit = new ControlWidget<QLineEdit>(parent);
        if (style & ES_PASSWORD)
            edit->setEchoMode(QLineEdit::Password);
        edit->setReadOnly(style & ES_READONLY);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] { edit->Notify(EN_CHANGE); });
        return edit;
    }
    default:
        return nullptr;
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
    else
        widget->setWindowTitle(shown);
}

} // namespace PlatformQt
