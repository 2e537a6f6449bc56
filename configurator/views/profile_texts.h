#pragma once
// What the profile buttons say, in the interface's language and with the
// form's own words: a field by the label beside its box, a value as the
// box shows it, a refused profile by what is wrong with it.
#include <QString>
#include <vector>

#include "client/profile.h"

// The label the form shows beside `field` ("本机地址").
QString FormLabelOf(const qrv::client::FieldSpec& field);

// `value` as the form shows it: "主机模式" rather than the file's "host".
QString FormValueOf(const qrv::client::FieldSpec& field, const qrv::client::FieldValue& value);

// The message after an import: each differing field with the module's and
// the profile's value, or that there is none.
QString ImportedDifferencesText(const std::vector<qrv::client::FieldDifference>& differences);

// Why the profile at `path` was refused.
QString ProfileFaultText(const qrv::client::ProfileFault& fault, const QString& path);

// Why a profile could not be saved at `path`.
QString UnwritableText(const QString& path);
