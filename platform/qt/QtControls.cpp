#include "platform/qt/QtControls.h"

#include "platform/Controls.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

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

// A check box or radio button that, as on Windows, takes a click anywhere in its rectangle,
// not only on its box and text.
template <class W> class BoxButton : public ControlWidget<W> {
public:
    using ControlWidget<W>::ControlWidget;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

// A tab control: the tab row, and a frame around the page where the dialog puts its controls.
class TabControl : public QWidget, public PeerWidget {
public:
    explicit TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
        m_bar->setDrawBase(false);
        // One stop for Tab, as on Windows: the control holds the focus, the row shows it and
        // takes the arrow keys.
        m_bar->setFocusPolicy(Qt::NoFocus);
        m_bar->setFocusProxy(this);
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
    bool Turn(int step) {
        const int count = m_bar->count();
        if (count < 2 || !isEnabled() || !isVisible())
            return false;
        m_bar->setCurrentIndex((m_bar->currentIndex() + step + count) % count);
        return true;
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
    }
    // Straight to the row; a key it ignores goes on to the dialog, not back here.
    void keyPressEvent(QKeyEvent* e) override { static_cast<QObject*>(m_bar)->event(e); }
    void focusInEvent(QFocusEvent* e) override {
        QWidget::focusInEvent(e);
        m_bar->update();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QWidget::focusOutEvent(e);
        m_bar->update();
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

class SimpleComboBase;

// The list of a simple combo box: a press on an item chooses it, a double-click reports itself.
class ComboList : public QListWidget {
public:
    ComboList(SimpleComboBase& combo, QWidget* parent) : QListWidget(parent), m_combo(combo) {
        setFocusPolicy(Qt::NoFocus);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override {
        // Dragging with the button down would move the highlight away from the chosen item.
        if (e->buttons() == Qt::NoButton)
            QListWidget::mouseMoveEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    SimpleComboBase& m_combo;
};

// A combo box whose list is always shown (CBS_SIMPLE): an edit line with its list box below.
// The control itself holds the focus and hands typing to the line; Up and Down walk the list.
class SimpleComboBase : public QWidget {
public:
    explicit SimpleComboBase(QWidget* parent)
        : QWidget(parent), m_edit(new QLineEdit(this)), m_list(new ComboList(*this, this)) {
        m_edit->setFocusProxy(this);
        setAttribute(Qt::WA_InputMethodEnabled);
        QObject::connect(m_edit, &QLineEdit::textEdited, this, [this] {
            m_navigated = false;
            Report(CBN_EDITCHANGE);
        });
    }

    QLineEdit* Edit() const { return m_edit; }
    QListWidget* List() const { return m_list; }
    int Current() const { return m_current < m_list->count() ? m_current : -1; }

    // The program's changes: nobody hears of them.
    void SetCurrent(int row) {
        if (row < 0 || row >= m_list->count())
            row = -1;
        if (row != m_current)
            m_edit->setText(row >= 0 ? m_list->item(row)->text() : QString());
        m_current = row;
        m_navigated = false;
        ShowCurrent();
    }
    void SetItems(const std::vector<std::string>& items) {
        m_list->clear();
        for (const std::string& item : items)
            m_list->addItem(FromCp1252(item));
        // The caller puts the selection back next, and SetCurrent compares with the old one.
        ShowCurrent();
    }

    // The user chose row: it becomes the selection and the edit line's text.
    void Choose(int row) {
        const bool changed = row != m_current;
        m_current = row;
        m_navigated = false;
        ShowCurrent();
        // Selected, so typing replaces it.
        m_edit->setText(m_list->item(row)->text());
        m_edit->selectAll();
        if (Report(CBN_SELENDOK) && changed)
            Report(CBN_SELCHANGE);
    }
    // False when the control lost its window meanwhile.
    virtual bool Report(unsigned code) = 0;

protected:
    void resizeEvent(QResizeEvent*) override {
        const int lineHeight = std::min(height(), m_edit->sizeHint().height());
        m_edit->setGeometry(0, 0, width(), lineHeight);
        m_list->setGeometry(0, lineHeight, width(), std::max(0, height() - lineHeight));
    }
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && m_list->count() > 0) {
            const int step = e->key() == Qt::Key_Up ? -1 : 1;
            const int row =
                std::clamp(m_current < 0 ? 0 : m_current + step, 0, m_list->count() - 1);
            e->accept();
            if (row == m_current)
                return;
            m_current = row;
            ShowCurrent();
            m_edit->setText(m_list->item(row)->text());
            m_edit->selectAll();
            m_navigated = true;
            Report(CBN_SELCHANGE);
            return;
        }
        // Straight to the line: sent through the application, a key the line ignores would
        // travel back up to this control and round again without end.
        static_cast<QObject*>(m_edit)->event(e);
    }
    // Enter on an item reached with the arrow keys chooses it; otherwise it is the dialog's.
    bool TakeEnter() {
        if (!m_navigated || m_current < 0)
            return false;
        Choose(m_current);
        return true;
    }
    void focusInEvent(QFocusEvent* e) override {
        QWidget::focusInEvent(e);
        QApplication::sendEvent(m_edit, e);
    }
    void focusOutEvent(QFocusEvent* e) override {
        QWidget::focusOutEvent(e);
        QApplication::sendEvent(m_edit, e);
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        static_cast<QObject*>(m_edit)->event(e);
    }
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        return m_edit->inputMethodQuery(query);
    }

private:
    void ShowCurrent() {
        QSignalBlocker quiet(m_list);
        if (m_current >= 0 && m_current < m_list->count()) {
            m_list->setCurrentRow(m_current);
            m_list->scrollToItem(m_list->item(m_current));
        } else {
            m_list->setCurrentRow(-1);
            m_list->clearSelection();
        }
    }

    QLineEdit* m_edit;
    ComboList* m_list;
    int m_current = -1;
    bool m_navigated = false; // the selection was moved with the keys since the last choice
};

void ComboList::mousePressEvent(QMouseEvent* e) {
    QListWidget::mousePressEvent(e);
    m_combo.setFocus(Qt::MouseFocusReason);
    const int row = indexAt(e->position().toPoint()).row();
    if (row >= 0)
        m_combo.Choose(row);
}

void ComboList::mouseDoubleClickEvent(QMouseEvent* e) {
    const int row = indexAt(e->position().toPoint()).row();
    if (row < 0)
        return;
    // The first click chose the item already; the second chooses only what moved under it.
    if (row != m_combo.Current())
        m_combo.Choose(row);
    m_combo.Report(CBN_DBLCLK);
}

class SimpleCombo : public ControlWidget<SimpleComboBase> {
public:
    SimpleCombo(QtPlatform& platform, QWidget* parent) : ControlWidget(platform, parent) {
        // The window text is what the line shows.
        QObject::connect(Edit(), &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_text = ToCp1252(text); });
    }
    bool Report(unsigned code) override {
        Notify(code);
        return m_owner != nullptr;
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && TakeEnter()) {
            e->accept();
            return;
        }
        ControlWidget::keyPressEvent(e);
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
        auto* box = new BoxButton<QCheckBox>(platform, parent);
        QObject::connect(box, &QCheckBox::clicked, box, [box] { box->Notify(BN_CLICKED); });
        return box;
    }
    case WindowKind::RadioButton: {
        auto* radio = new BoxButton<QRadioButton>(platform, parent);
        // Each run of radio buttons is one exclusive group; a button that does not start a
        // group (WS_GROUP) joins the group made last in its window.
        QButtonGroup* group = nullptr;
        if (parent && !(style & WS_GROUP)) {
            const auto groups = parent->findChildren<QButtonGroup*>(Qt::FindDirectChildrenOnly);
            if (!groups.isEmpty())
                group = groups.last();
        }
        if (!group)
            group = new QButtonGroup(parent ? static_cast<QObject*>(parent) : radio);
        group->addButton(radio);
        QObject::connect(radio, &QRadioButton::clicked, radio,
                         [radio] { radio->Notify(BN_CLICKED); });
        return radio;
    }
    case WindowKind::Static: {
        auto* label = new ControlWidget<QLabel>(platform, parent);
        label->setTextFormat(Qt::PlainText);
        // As on Windows, a text wider than its control goes on in the lines below.
        label->setWordWrap(true);
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
        if ((style & CBS_DROPDOWNLIST) == CBS_SIMPLE)
            return new SimpleCombo(platform, parent);
        auto* combo = new ControlWidget<QComboBox>(platform, parent);
        combo->setEditable((style & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST);
        combo->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                         [combo] { combo->Notify(CBN_SELCHANGE); });
        // Picked in the list, or with the keys on the closed box.
        QObject::connect(combo, &QComboBox::activated, combo,
                         [combo] { combo->Notify(CBN_SELENDOK); });
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
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        // The program sets one button alone, as on Windows; only the user's click is exclusive
        // (and an exclusive group would refuse to uncheck its checked button).
        QButtonGroup* group = radio->group();
        const bool exclusive = group && group->exclusive();
        if (exclusive)
            group->setExclusive(false);
        radio->setChecked(value == BST_CHECKED);
        if (exclusive)
            group->setExclusive(true);
    } else if (auto* simple = dynamic_cast<SimpleComboBase*>(widget)) {
        simple->SetCurrent(value);
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
    if (auto* box = qobject_cast<const QAbstractButton*>(widget); box && box->isCheckable())
        return box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (auto* simple = dynamic_cast<const SimpleComboBase*>(widget))
        return simple->Current();
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
    if (auto* simple = dynamic_cast<SimpleComboBase*>(widget)) {
        simple->SetItems(items);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
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
    else if (auto* simple = dynamic_cast<SimpleComboBase*>(widget))
        simple->Edit()->setText(shown);
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable())
            combo->setEditText(shown);
    } else if (qobject_cast<QProgressBar*>(widget) || dynamic_cast<TabControl*>(widget))
        return; // no text of their own
    else
        widget->setWindowTitle(shown);
}

} // namespace PlatformQt

namespace PlatformQt {

bool TurnTabsByKey(QObject* receiver, const QKeyEvent& key) {
    const Qt::KeyboardModifiers held =
        key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held != Qt::ControlModifier || (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab))
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return false;
    // X11 sends Ctrl+Shift+Tab as Backtab with Shift; other systems as Tab with Shift.
    const int step = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier) ? -1 : 1;
    // The tab control has no meta-object of its own, so Qt cannot pick it out by type.
    for (QWidget* child : widget->window()->findChildren<QWidget*>())
        if (auto* tabs = dynamic_cast<TabControl*>(child))
            if (tabs->window() == widget->window() && tabs->Turn(step))
                return true;
    return false;
}

} // namespace PlatformQt
