#include "platform/qt/qt_file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace korvane {
namespace {

QWidget* ownerWidget(NativeWindow owner)
{
    return owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

std::string qtNameFilters(const std::string& filter)
{
    const QStringList parts = fromStd(filter).split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions << parts.at(i);
    return descriptions.join(QStringLiteral(";;")).toStdString();
}

std::optional<std::string> QtFileDialogs::pickFolder(NativeWindow owner, const std::string& prompt)
{
    const QString folder = QFileDialog::getExistingDirectory(ownerWidget(owner), fromStd(prompt));
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder).toStdString();
}

std::optional<std::string> QtFileDialogs::pickOpenFile(NativeWindow owner, const FileOpenRequest& request)
{
    QFileDialog dialog(ownerWidget(owner), fromStd(request.title), fromStd(request.initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(fromStd(qtNameFilters(request.filter)));
    dialog.setDefaultSuffix(fromStd(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
}

} // namespace korvane
