#include "common/ini_encoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include "text/module_text.h"

namespace {

constexpr char kGb18030[] = "GB18030";

// Decoding keeps a second byte-order mark and everything else as it is.
constexpr auto kKeepEverything = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

struct Mark {
    const char* bytes;
    IniEncoding encoding;
};
// UTF-8's mark first: it cannot be mistaken for the others.
constexpr Mark kMarks[] = {
    {"\xEF\xBB\xBF", IniEncoding::Utf8}, {"\xFF\xFE", IniEncoding::Utf16Le}, {"\xFE\xFF", IniEncoding::Utf16Be}};

QStringConverter::Encoding QtEncoding(IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::Utf16Le:
            return QStringConverter::Utf16LE;
        case IniEncoding::Utf16Be:
            return QStringConverter::Utf16BE;
        default:
            return QStringConverter::Utf8;
    }
}

}  // namespace

IniText DecodeIniBytes(const QByteArray& bytes) {
    IniText result;
    QByteArrayView body(bytes);
    for (const Mark& mark : kMarks) {
        if (bytes.startsWith(mark.bytes)) {
            result.encoding = mark.encoding;
            result.byteOrderMark = QByteArray(mark.bytes);
            body = body.sliced(result.byteOrderMark.size());
            break;
        }
    }
    QStringDecoder decoder(QtEncoding(result.encoding), kKeepEverything);
    result.text = decoder.decode(body);
    if (decoder.hasError() && result.byteOrderMark.isEmpty()) {
        result.encoding = IniEncoding::Gb18030;
        result.text = QString::fromStdString(
            qrv::text::ConvertLenient(std::string_view(body.data(), body.size()), kGb18030, "UTF-8"));
    }
    result.faithful = !result.text.contains(QChar(0)) && EncodeIniText(result) == bytes;
    return result;
}

std::optional<QByteArray> EncodeIniText(const IniText& text) {
    QByteArray bytes = text.byteOrderMark;
    if (text.encoding == IniEncoding::Gb18030) {
        const QByteArray utf8 = text.text.toUtf8();
        const auto converted = qrv::text::ConvertExact(std::string_view(utf8.data(), utf8.size()), "UTF-8", kGb18030);
        if (!converted) return std::nullopt;
        return bytes + QByteArray::fromStdString(*converted);
    }
    QStringEncoder encoder(QtEncoding(text.encoding), QStringConverter::Flag::Stateless);
    bytes += encoder.encode(text.text);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

std::optional<IniText> ReadIniText(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return IniText{};
    // A FIFO or device would block or never end; a huge file is no settings file.
    if (!info.isFile() || info.size() > kIniMaxBytes) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.read(kIniMaxBytes + 1);
    if (bytes.size() > kIniMaxBytes || file.error() != QFileDevice::NoError) return std::nullopt;
    return DecodeIniBytes(bytes);
}
