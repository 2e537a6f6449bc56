#include "common/ini_encoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <vector>

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

std::optional<QString> DecodeExactly(QByteArrayView bytes, IniEncoding encoding) {
    if (encoding == IniEncoding::Gb18030) {
        const auto utf8 = qrv::text::ConvertExact(std::string_view(bytes.data(), bytes.size()), kGb18030, "UTF-8");
        if (!utf8) return std::nullopt;
        return QString::fromStdString(*utf8);
    }
    QStringDecoder decoder(QtEncoding(encoding), kKeepEverything);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

QString DecodeLeniently(QByteArrayView bytes, IniEncoding encoding) {
    if (encoding == IniEncoding::Gb18030)
        return QString::fromStdString(
            qrv::text::ConvertLenient(std::string_view(bytes.data(), bytes.size()), kGb18030, "UTF-8"));
    QStringDecoder decoder(QtEncoding(encoding), kKeepEverything);
    return decoder.decode(bytes);
}

bool IsAscii(QByteArrayView bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A file that is neither UTF-8 nor GB18030 as a whole: most often one of
// them with a stray byte. Each line is read in the encoding it is valid in,
// and a broken line in the file's main encoding with U+FFFD where its bad
// bytes are, so one stray byte spoils one value and shows as what it is,
// instead of turning every other line into another text.
QString DecodeLineByLine(QByteArrayView body, IniEncoding& mainEncoding) {
    struct Line {
        QByteArrayView bytes;
        std::optional<QString> text;
        bool gb = false;
    };
    std::vector<Line> lines;
    int utf8Lines = 0, gbLines = 0;
    while (!body.isEmpty()) {
        const qsizetype end = body.indexOf('\n');
        const qsizetype length = end < 0 ? body.size() : end + 1;
        Line line{body.first(length), std::nullopt, false};
        body = body.sliced(length);
        if (!IsAscii(line.bytes)) {
            line.text = DecodeExactly(line.bytes, IniEncoding::Utf8);
            if (line.text) {
                ++utf8Lines;
            } else if ((line.text = DecodeExactly(line.bytes, IniEncoding::Gb18030))) {
                line.gb = true;
                ++gbLines;
            }
        }
        lines.push_back(line);
    }
    mainEncoding = gbLines > utf8Lines ? IniEncoding::Gb18030 : IniEncoding::Utf8;
    QString text;
    for (const Line& line : lines) text += line.text ? *line.text : DecodeLeniently(line.bytes, mainEncoding);
    return text;
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
        if (auto gb = DecodeExactly(body, IniEncoding::Gb18030)) {
            result.encoding = IniEncoding::Gb18030;
            result.text = std::move(*gb);
        } else {
            result.text = DecodeLineByLine(body, result.encoding);
        }
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
