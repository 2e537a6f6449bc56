#include "capturing_toolkit.h"

void PrintTo(const CapturedMessage& message, std::ostream* out) {
    static const char* const icons[] = {"none", "information", "warning", "error"};
    *out << '"' << message.text.toStdString() << "\" (" << icons[static_cast<int>(message.icon)] << ')';
    if (!message.informative.isEmpty()) *out << " \"" << message.informative.toStdString() << '"';
}

void CapturingToolkit::ShowMessage(const QString& text, qrvtune::MessageIcon icon, const QString& informative) {
    const CapturedMessage message{text, icon, informative};
    std::function<void(const CapturedMessage&)> action;
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
        action = onMessage_;
    }
    if (action) action(message);
}

std::optional<QString> CapturingToolkit::OpenFileName(QWidget* /*parent*/, const QString& filter) {
    std::lock_guard lock(mutex_);
    fileFilters_ << filter;
    if (fileAnswers_.empty()) return std::nullopt;
    // Taken apart by hand: g++ 12 at -O2 sees a copied optional<QString> as
    // maybe uninitialised.
    const bool given = fileAnswers_.front().has_value();
    const QString path = given ? *fileAnswers_.front() : QString();
    fileAnswers_.pop_front();
    if (!given) return std::nullopt;
    return path;
}

std::optional<QString> CapturingToolkit::SaveFileName(QWidget* parent, const QString& filter, const QString&) {
    return OpenFileName(parent, filter);
}

bool CapturingToolkit::Ask(const QString& text, const QString& informative) {
    ShowMessage(text, qrvtune::MessageIcon::Warning, informative);
    std::lock_guard lock(mutex_);
    return askAnswer_;
}

void CapturingToolkit::ScriptAsk(bool yes) {
    std::lock_guard lock(mutex_);
    askAnswer_ = yes;
}

std::vector<CapturedMessage> CapturingToolkit::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void CapturingToolkit::ClearMessages() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

QStringList CapturingToolkit::FileFilters() const {
    std::lock_guard lock(mutex_);
    return fileFilters_;
}

void CapturingToolkit::ScriptFileAnswer(std::optional<QString> answer) {
    std::lock_guard lock(mutex_);
    fileAnswers_.push_back(std::move(answer));
}

void CapturingToolkit::OnMessage(std::function<void(const CapturedMessage&)> action) {
    std::lock_guard lock(mutex_);
    onMessage_ = std::move(action);
}
