#include "toolkit/qt_toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace qrvtune {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

void ShowOnWindowThread(const QString& text, MessageIcon icon, const QString& informative) {
    MakeMessageBox(text, icon, QApplication::activeWindow(), informative)->exec();
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MessageIcon icon, QWidget* parent,
                                            const QString& informative) {
    auto box = std::make_unique<QMessageBox>(ToQt(icon), QApplication::applicationName(), text, QMessageBox::Ok, parent);
    box->setInformativeText(informative);
    box->button(QMessageBox::Ok)->setText(QCoreApplication::translate("Toolkit", "确定"));
    return box;
}

void QtToolkit::ShowMessage(const QString& text, MessageIcon icon, const QString& informative) {
    auto* app = QCoreApplication::instance();
    if (app == nullptr) return;
    if (QThread::currentThread() == app->thread()) {
        ShowOnWindowThread(text, icon, informative);
        return;
    }
    // A worker's message waits for the user like the window thread's does.
    QMetaObject::invokeMethod(app, [text, icon, informative] { ShowOnWindowThread(text, icon, informative); },
                              Qt::BlockingQueuedConnection);
}

bool QtToolkit::Ask(const QString& text, const QString& informative) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setInformativeText(informative);
    box.button(QMessageBox::Yes)->setText(QCoreApplication::translate("Toolkit", "是"));
    box.button(QMessageBox::No)->setText(QCoreApplication::translate("Toolkit", "否"));
    // "否" is the default: Enter pressed in haste changes nothing.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtToolkit::OpenFileName(QWidget* parent, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(), QtFileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtToolkit::SaveFileName(QWidget* parent, const QString& filter, const QString& suggested) {
    const QString path = QFileDialog::getSaveFileName(parent, QString(), suggested, QtFileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList lines;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (text.isEmpty()) break;  // the "||" end mark
        lines << (text.contains(QLatin1Char('(')) ? text : text + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return lines.join(QStringLiteral(";;"));
}

}  // namespace qrvtune
