#include "tour/tour_toolkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

#include "toolkit/qt_toolkit.h"

namespace qrvtune::tour {

const char* IconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return "information";
        case MessageIcon::Warning: return "warning";
        case MessageIcon::Error: return "error";
        case MessageIcon::None: break;
    }
    return "plain";
}

void TourToolkit::ShowMessage(const QString& text, MessageIcon icon, const QString& informative) {
    QString photo;
    {
        std::lock_guard lock(mutex_);
        messages_.push_back({text, icon});
        const bool onWindowThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        if (onWindowThread) photo = std::exchange(photoPath_, QString());
    }
    std::printf("    message (%s): %s\n", IconName(icon), text.toUtf8().constData());
    if (!informative.isEmpty()) std::printf("      %s\n", informative.toUtf8().constData());
    std::fflush(stdout);
    if (photo.isEmpty()) return;
    // The very box the program would have shown, on screen just long enough
    // to be drawn.
    auto box = MakeMessageBox(text, icon, QApplication::activeWindow(), informative);
    box->show();
    QCoreApplication::sendPostedEvents();
    box->grab().save(photo);
    box->close();
}

std::optional<QString> TourToolkit::OpenFileName(QWidget* /*parent*/, const QString& /*filter*/) {
    std::lock_guard lock(mutex_);
    return fileAnswer_;
}

void TourToolkit::SetFileAnswer(std::optional<QString> path) {
    std::lock_guard lock(mutex_);
    fileAnswer_ = std::move(path);
}

void TourToolkit::PhotographNextMessage(const QString& pngPath) {
    std::lock_guard lock(mutex_);
    photoPath_ = pngPath;
}

std::vector<RecordedMessage> TourToolkit::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t TourToolkit::MessageCount() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

bool TourToolkit::ArrivedSince(std::size_t from, const QString& text) const {
    std::lock_guard lock(mutex_);
    for (std::size_t i = from; i < messages_.size(); ++i)
        if (messages_[i].text == text) return true;
    return false;
}

}  // namespace qrvtune::tour
