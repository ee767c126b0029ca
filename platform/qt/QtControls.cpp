#include "platform/qt/QtControls.h"

#include "platform/Controls.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
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
    explicit ControlWidget(QWidget* parent) : W(parent) {}

    // Tells the owner's parent, as Win32 controls notify with WM_COMMAND.
    void Notify(unsigned code) {
        if (!m_owner)
            return;
        HandlerScope running;
        m_owner->SendCommand(code);
    }
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
    case WindowKind::ComboBox: {
        auto* combo = new ControlWidget<QComboBox>(parent);
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
        auto* bar = new ControlWidget<QProgressBar>(parent);
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
