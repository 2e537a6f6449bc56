#pragma once
// The toolkit the tour runs the program with: every message box is recorded
// and dismissed at once, and the file dialog answers with the image the tour
// prepared. A box raised on the window thread can be photographed first.
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <vector>

#include "toolkit/toolkit.h"

namespace qrvtune::tour {

struct RecordedMessage {
    QString text;
    MessageIcon icon = MessageIcon::None;
};

const char* IconName(MessageIcon icon);

class TourToolkit final : public Toolkit {
public:
    void ShowMessage(const QString& text, MessageIcon icon, const QString& informative) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* /*parent*/, const QString& /*filter*/, const QString& /*suggested*/) override {
        return std::nullopt;
    }

    // The path every file dialog answers with (nothing: the user cancels).
    void SetFileAnswer(std::optional<QString> path);
    // The next box shown on the window thread is saved to this PNG.
    void PhotographNextMessage(const QString& pngPath);

    std::vector<RecordedMessage> Messages() const;
    std::size_t MessageCount() const;
    // Whether a message with this text arrived after the first `from` ones.
    bool ArrivedSince(std::size_t from, const QString& text) const;

private:
    mutable std::mutex mutex_;
    std::vector<RecordedMessage> messages_;
    std::optional<QString> fileAnswer_;
    QString photoPath_;
};

}  // namespace qrvtune::tour
