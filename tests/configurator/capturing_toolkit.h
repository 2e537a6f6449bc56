#pragma once
// A toolkit for tests: message boxes are recorded instead of shown, and the
// file dialog answers what the test scripted.
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <vector>

#include "toolkit/toolkit.h"

struct CapturedMessage {
    CapturedMessage() = default;
    // Most boxes have no second text: {text, icon} reads as before.
    CapturedMessage(QString text_, qrvtune::MessageIcon icon_ = qrvtune::MessageIcon::None, QString informative_ = {})
        : text(std::move(text_)), icon(icon_), informative(std::move(informative_)) {}

    QString text;
    qrvtune::MessageIcon icon = qrvtune::MessageIcon::None;
    QString informative;  // the box's second text, empty when it has none
    bool operator==(const CapturedMessage&) const = default;
};
void PrintTo(const CapturedMessage& message, std::ostream* out);

class CapturingToolkit final : public qrvtune::Toolkit {
public:
    void ShowMessage(const QString& text, qrvtune::MessageIcon icon, const QString& informative) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) override;
    // Answered from the same script as the open dialog.
    std::optional<QString> SaveFileName(QWidget* parent, const QString& filter, const QString& suggested) override;

    // Recorded as a message with the warning icon; answered as scripted.
    bool Ask(const QString& text, const QString& informative) override;
    // The answer to every later question ("否" until scripted).
    void ScriptAsk(bool yes);

    std::vector<CapturedMessage> Messages() const;
    void ClearMessages();
    QStringList FileFilters() const;

    // Answers for the next file dialogs, in order; an unscripted dialog is cancelled.
    void ScriptFileAnswer(std::optional<QString> answer);

    // Runs while a box "is open" (on the caller's thread), as a user would act
    // before pressing OK.
    void OnMessage(std::function<void(const CapturedMessage&)> action);

private:
    mutable std::mutex mutex_;
    std::vector<CapturedMessage> messages_;
    QStringList fileFilters_;
    std::deque<std::optional<QString>> fileAnswers_;
    bool askAnswer_ = false;
    std::function<void(const CapturedMessage&)> onMessage_;
};
