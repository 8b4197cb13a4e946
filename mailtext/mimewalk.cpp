// GMime lives here only: its GIO headers clash with Qt's `signals` keyword,
// so this unit includes nothing of Qt but QByteArray/QList (via mimewalk.h),
// and those after GMime.
#include <gmime/gmime.h>

#include "mailtext/mimewalk.h"

#include <utility>
#include <vector>

namespace {

// Bounds on what one mail may cost, whatever its structure.
const int kMaxNodes = 400;        // MIME entities looked at per mail
const int kMaxTreeDepth = 24;     // multipart nesting followed
const int kMaxForwardDepth = 3;   // forwarded mails inside forwarded mails
const int kMaxMessages = 4;       // messages read (the mail and its forwards)

void initOnce()
{
    static const bool ready = [] {
        g_mime_init();
        return true;
    }();
    (void)ready;
}

template<typename T>
struct Unref
{
    T *p;
    explicit Unref(T *object) : p(object) {}
    ~Unref()
    {
        if (p)
            g_object_unref(p);
    }
    Unref(const Unref &) = delete;
    Unref &operator=(const Unref &) = delete;
};

QByteArray decodedContent(GMimePart *part, qsizetype room)
{
    GMimeDataWrapper *content = g_mime_part_get_content(part);
    if (!content || room <= 0)
        return QByteArray();
    Unref<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, out.p);
    g_mime_stream_flush(out.p);
    GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.p));
    if (!bytes)
        return QByteArray();
    const qsizetype n = qsizetype(bytes->len) < room ? qsizetype(bytes->len) : room;
    return QByteArray(reinterpret_cast<const char *>(bytes->data), n);
}

bool blank(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

QByteArray lowered(const char *text)
{
    return text ? QByteArray(text).toLower() : QByteArray();
}

MimeTextPart describe(GMimePart *part, const char *type, int forwardDepth)
{
    MimeTextPart out;
    out.type = type;
    out.charset = QByteArray(g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset"));
    const GMimeContentEncoding encoding = g_mime_part_get_content_encoding(part);
    if (encoding != GMIME_CONTENT_ENCODING_DEFAULT)
        out.encoding = lowered(g_mime_content_encoding_to_string(encoding));
    out.forwardDepth = forwardDepth;
    return out;
}

} // namespace

QList<MimeTextPart> mimeTextParts(const QByteArray &raw, qsizetype maxDecoded)
{
    QList<MimeTextPart> found;
    if (raw.isEmpty())
        return found;
    initOnce();

    Unref<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(raw.constData(), size_t(raw.size())));
    Unref<GMimeParser> parser(g_mime_parser_new_with_stream(stream.p));
    Unref<GMimeMessage> message(g_mime_parser_construct_message(parser.p, nullptr));
    if (!message.p)
        return found;

    // Forwarded mails are read after the mail that carries them; they stay
    // owned by the outer message, which lives until the end.
    std::vector<std::pair<GMimeMessage *, int>> messages{{message.p, 0}};
    int nodes = 0;
    qsizetype room = maxDecoded;
    for (size_t m = 0; m < messages.size() && int(m) < kMaxMessages; ++m) {
        const int forwardDepth = messages[m].second;
        GMimeObject *root = g_mime_message_get_mime_part(messages[m].first);
        if (!root)
            continue;
        GMimePart *html = nullptr;
        bool havePlain = false;
        // Depth-first in document order, without recursion; the walk goes on
        // past the text for the forwarded mails further on.
        std::vector<std::pair<GMimeObject *, int>> stack{{root, 0}};
        while (!stack.empty() && nodes < kMaxNodes) {
            auto [object, depth] = stack.back();
            stack.pop_back();
            ++nodes;
            if (GMIME_IS_MULTIPART(object)) {
                if (depth >= kMaxTreeDepth)
                    continue;
                GMimeMultipart *multi = GMIME_MULTIPART(object);
                for (int i = g_mime_multipart_get_count(multi) - 1; i >= 0; --i)
                    stack.emplace_back(g_mime_multipart_get_part(multi, i), depth + 1);
            } else if (GMIME_IS_MESSAGE_PART(object)) {
                GMimeMessage *inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
                if (inner && forwardDepth < kMaxForwardDepth)
                    messages.emplace_back(inner, forwardDepth + 1);
            } else if (GMIME_IS_PART(object)) {
                GMimePart *part = GMIME_PART(object);
                GMimeContentType *type = g_mime_object_get_content_type(object);
                if (!type || g_mime_part_is_attachment(part))
                    continue;
                if (!havePlain && g_mime_content_type_is_type(type, "text", "plain")) {
                    QByteArray bytes = decodedContent(part, room);
                    if (blank(bytes))
                        continue;
                    MimeTextPart text = describe(part, "text/plain", forwardDepth);
                    room -= bytes.size();
                    text.bytes = std::move(bytes);
                    found.append(std::move(text));
                    havePlain = true;
                } else if (!html && g_mime_content_type_is_type(type, "text", "html")) {
                    html = part;
                }
            }
        }
        if (!havePlain && html) {
            MimeTextPart text = describe(html, "text/html", forwardDepth);
            text.bytes = decodedContent(html, room);
            room -= text.bytes.size();
            found.append(std::move(text));
        }
    }
    return found;
}
