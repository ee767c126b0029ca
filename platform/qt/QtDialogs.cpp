#include "platform/qt/QtDialogs.h"

#include "platform/Window.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace PlatformQt {

using namespace Platform;

QStringList NameFilters(std::string_view filter) {
    QStringList parts = FromCp1252(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        if (text.isEmpty())
            break;
        QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
        QString suffix = QStringLiteral("(%1)").arg(patterns);
        filters << (text.endsWith(suffix) ? text : text + QLatin1Char(' ') + suffix);
    }
    return filters;
}

int QtPlatform::MessageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           unsigned type) {
    QMessageBox box(owner ? Widget(*owner) : nullptr);
    box.setText(FromCp1252(text));
    box.setWindowTitle(caption.empty() ? QApplication::applicationName() : FromCp1252(caption));
    switch (type & 0xF0) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QList<QMessageBox::StandardButton> buttons;
    switch (type & 0xF) {
    case MB_OKCANCEL:
        buttons = {QMessageBox::Ok, QMessageBox::Cancel};
        break;
    case MB_YESNOCANCEL:
        buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        break;
    case MB_YESNO:
        buttons = {QMessageBox::Yes, QMessageBox::No};
        break;
    default:
        buttons = {QMessageBox::Ok};
        break;
    }
    QMessageBox::StandardButtons all;
    for (auto b : buttons)
        all |= b;
    box.setStandardButtons(all);
    qsizetype defaultIndex = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    box.setDefaultButton(buttons.value(defaultIndex, buttons.first()));
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        // Closed without a button: what Escape gives on Windows.
        return buttons.contains(QMessageBox::Cancel) ? IDCANCEL : buttons.size() == 1 ? IDOK : IDNO;
    }
}

bool QtPlatform::GetSaveFileName(CWnd* owner, const SaveFileRequest& request, std::string& path) {
    QFileDialog dialog(owner ? Widget(*owner) : nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(FromCp1252(request.defaultExt));
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.selectFile(FromCp1252(request.fileName));
    if (!(request.flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    return true;
}

bool QtPlatform::GetOpenFileName(CWnd* owner, const OpenFileRequest& request, std::string& path) {
    QFileDialog dialog(owner ? Widget(*owner) : nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.selectFile(FromCp1252(request.fileName));
    // Qt's dialogs have no read-only box, so OFN_HIDEREADONLY always holds.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    return true;
}

} // namespace PlatformQt
