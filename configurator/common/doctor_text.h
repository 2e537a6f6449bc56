#pragma once
// The connection doctor's checks in the interface language: each check's
// text is chosen by its id and outcome and filled from its facts, never
// taken from the English report.
#include <QString>

#include "client/doctor.h"

struct DoctorCheckText {
    QString verdict;  // 通过, 警告, 失败, 跳过
    QString found;
    QString advice;   // empty when there is nothing to do
};

// `port` fills {port} where a check's facts do not name it.
DoctorCheckText DoctorText(const qrv::client::CheckResult& check, const QString& port);

// The whole report as text, for "复制报告".
QString DoctorReportText(const QString& port, const std::vector<qrv::client::CheckResult>& checks);
