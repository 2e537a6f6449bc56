#pragma once
// The interface language. The program's texts are written in Chinese, the
// language every message has always had; English comes from the
// translation qrvtune_en.qm that lies beside the program.
#include <QLocale>
#include <QString>

#include <optional>

enum class UiLanguage { Chinese, English };

// The language to run in: `requested` ("zh" or "en", from --lang) when
// given, else the user's saved choice, else the system's: Chinese for a
// Chinese locale, English for any other.
UiLanguage ChooseUiLanguage(const QString& requested, const QString& saved, const QLocale& system);

// "zh" / "en" as --lang and the settings file write them; nothing for
// anything else.
std::optional<UiLanguage> UiLanguageFromCode(const QString& code);
QString UiLanguageCode(UiLanguage language);

// Switches the texts built from now on to `language`, with the
// translation from `folder`. Without the translation file the program stays
// Chinese and false is returned.
bool ApplyUiLanguage(UiLanguage language, const QString& folder);

// The language applied last (Chinese until one is applied).
UiLanguage CurrentUiLanguage();
