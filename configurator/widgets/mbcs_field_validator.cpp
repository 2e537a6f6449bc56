#include "widgets/mbcs_field_validator.h"

#include "common/text_codec.h"

QValidator::State MbcsFieldValidator::validate(QString& input, int& /*position*/) const {
    return FitsMbcsField(input, fieldBytes_) ? Acceptable : Invalid;
}
