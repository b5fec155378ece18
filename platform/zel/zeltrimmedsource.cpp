#include "zeltrimmedsource.h"

#include "tagbytes.h"

#include <QVector>

#include <gst/base/gstbasesrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Scheme = "parlovance-trimmed";
const char* const ViewKey = "parlovance-trimmed-view";

// The file as the source reads it: pieces in order, each a range of the file or bytes that
// stand for one.
class View
{
public:
    View(int fd, const QList<ZelTagTrim::Stretch>& stretches)
        : m_fd(::fcntl(fd, F_DUPFD_CLOEXEC, 0))
    {
        struct stat info;
        const qint64 fileLength = m_fd >= 0 && ::fstat(m_fd, &info) == 0 ? info.st_size : 0;
        qint64 file = 0;
        for (const ZelTagTrim::Stretch& s : stretches) {
            if (s.offset < file || s.offset + s.length > fileLength)
                continue;
            addFile(file, s.offset - file);
            if (!s.bytes.isEmpty())
                m_pieces.append({ m_length, -1, s.bytes.size(), s.bytes });
            m_length += s.bytes.size();
            file = s.offset + s.length;
        }
        addFile(file, fileLength - file);
    }

    ~View()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool isValid() const { return m_fd >= 0; }
    qint64 length() const { return m_length; }

    // `count` bytes from `at` into `into`; false when reading the file fails.
    bool read(qint64 at, char* into, qint64 count) const
    {
        auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), at,
                                      [](qint64 offset, const Piece& p) { return offset < p.at; });
        if (piece == m_pieces.begin())
            return false;
        --piece;
        while (count > 0 && piece != m_pieces.end()) {
            const qint64 inPiece = at - piece->at;
            const qint64 step = std::min(count, piece->length - inPiece);
            if (piece->fileAt < 0) {
                std::memcpy(into, piece->bytes.constData() + inPiece, size_t(step));
            } else if (!readFile(piece->fileAt + inPiece, into, step)) {
                return false;
            }
            into += step;
            at += step;
            count -= step;
            ++piece;
        }
        return count == 0;
    }

private:
    struct Piece
    {
        qint64 at; // in the view
        qint64 fileAt; // -1 for bytes of its own
        qint64 length;
        QByteArray bytes;
    };

    void addFile(qint64 from, qint64 length)
    {
        if (length <= 0)
            return;
        m_pieces.append({ m_length, from, length, QByteArray() });
        m_length += length;
    }

    bool readFile(qint64 at, char* into, qint64 count) const
    {
        return TagBytes::readAt(m_fd, at, into, count);
    }

    int m_fd;
    qint64 m_length = 0;
    QVector<Piece> m_pieces;
};

using SharedView = std::shared_ptr<const View>;

struct TrimmedSrc
{
    GstBaseSrc parent;
    SharedView* view;
    gchar* uri;
};

struct TrimmedSrcClass
{
    GstBaseSrcClass parentClass;
};

GType trimmed_src_get_type();
void trimmed_src_uri_init(gpointer iface, gpointer);

G_DEFINE_TYPE_WITH_CODE(TrimmedSrc, trimmed_src, GST_TYPE_BASE_SRC,
                        G_IMPLEMENT_INTERFACE(GST_TYPE_URI_HANDLER, trimmed_src_uri_init))

TrimmedSrc* trimmed(gpointer object)
{
    return reinterpret_cast<TrimmedSrc*>(object);
}

void trimmedFinalize(GObject* object)
{
    TrimmedSrc* self = trimmed(object);
    delete self->view;
    self->view = nullptr;
    g_free(self->uri);
    G_OBJECT_CLASS(trimmed_src_parent_class)->finalize(object);
}

// The view is handed over before the source starts, on the thread that starts it.
gboolean trimmedStart(GstBaseSrc* base)
{
    TrimmedSrc* self = trimmed(base);
    if (!self->view || !*self->view || !(*self->view)->isValid()) {
        GST_ELEMENT_ERROR(base, RESOURCE, OPEN_READ, ("The file cannot be read"),
                          ("no file was handed to the source"));
        return FALSE;
    }
    return TRUE;
}

gboolean trimmedSize(GstBaseSrc* base, guint64* size)
{
    TrimmedSrc* self = trimmed(base);
    if (!self->view || !*self->view)
        return FALSE;
    *size = guint64((*self->view)->length());
    return TRUE;
}

gboolean trimmedSeekable(GstBaseSrc*)
{
    return TRUE;
}

GstFlowReturn trimmedFill(GstBaseSrc* base, guint64 offset, guint size, GstBuffer* buffer)
{
    TrimmedSrc* self = trimmed(base);
    const View& view = **self->view;
    if (offset >= guint64(view.length()))
        return GST_FLOW_EOS;
    const qint64 count = std::min<qint64>(size, view.length() - qint64(offset));
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE))
        return GST_FLOW_ERROR;
    const bool read = view.read(qint64(offset), reinterpret_cast<char*>(map.data), count);
    gst_buffer_unmap(buffer, &map);
    if (!read) {
        GST_ELEMENT_ERROR(base, RESOURCE, READ, (nullptr), ("reading the file failed"));
        return GST_FLOW_ERROR;
    }
    gst_buffer_set_size(buffer, gsize(count));
    GST_BUFFER_OFFSET(buffer) = offset;
    GST_BUFFER_OFFSET_END(buffer) = offset + guint64(count);
    return GST_FLOW_OK;
}

void trimmed_src_class_init(TrimmedSrcClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = trimmedFinalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate source = GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                                                 GST_STATIC_CAPS_ANY);
    gst_element_class_add_static_pad_template(element, &source);
    gst_element_class_set_static_metadata(element, "Trimmed file source", "Source/File",
                                          "Reads a file with some stretches read as other bytes",
                                          "Parlovance");
    GstBaseSrcClass* base = GST_BASE_SRC_CLASS(klass);
    base->start = trimmedStart;
    base->get_size = trimmedSize;
    base->is_seekable = trimmedSeekable;
    base->fill = trimmedFill;
}

void trimmed_src_init(TrimmedSrc* self)
{
    self->view = nullptr;
    self->uri = nullptr;
}

GstURIType trimmedUriType(GType)
{
    return GST_URI_SRC;
}

const gchar* const* trimmedProtocols(GType)
{
    static const gchar* const protocols[] = { Scheme, nullptr };
    return protocols;
}

gchar* trimmedGetUri(GstURIHandler* handler)
{
    return g_strdup(trimmed(handler)->uri);
}

gboolean trimmedSetUri(GstURIHandler* handler, const gchar* uri, GError** error)
{
    gchar* scheme = gst_uri_get_protocol(uri);
    const bool ours = scheme && g_strcmp0(scheme, Scheme) == 0;
    g_free(scheme);
    if (!ours) {
        g_set_error(error, GST_URI_ERROR, GST_URI_ERROR_UNSUPPORTED_PROTOCOL,
                    "Not an address of the trimmed source");
        return FALSE;
    }
    TrimmedSrc* self = trimmed(handler);
    g_free(self->uri);
    self->uri = g_strdup(uri);
    return TRUE;
}

void trimmed_src_uri_init(gpointer iface, gpointer)
{
    auto* uri = static_cast<GstURIHandlerInterface*>(iface);
    uri->get_type = trimmedUriType;
    uri->get_protocols = trimmedProtocols;
    uri->get_uri = trimmedGetUri;
    uri->set_uri = trimmedSetUri;
}

gboolean registerInPlugin(GstPlugin* plugin)
{
    return gst_element_register(plugin, "parlovancetrimmedsrc", GST_RANK_MARGINAL,
                                trimmed_src_get_type());
}

bool registerOnce()
{
    static const bool registered = gst_plugin_register_static(
        GST_VERSION_MAJOR, GST_VERSION_MINOR, "parlovancetrimmed",
        "The player's reading of files whose tags are bounded", registerInPlugin, "1.0", "LGPL",
        "parlovance", "parlovance", "parlovance");
    return registered;
}

// playbin made its source: the one made for the pipeline's view is handed it.
void sourceSetup(GstElement* pipeline, GstElement* source, gpointer)
{
    if (!G_TYPE_CHECK_INSTANCE_TYPE(source, trimmed_src_get_type()))
        return;
    auto* view = static_cast<SharedView*>(g_object_get_data(G_OBJECT(pipeline), ViewKey));
    TrimmedSrc* self = trimmed(source);
    GST_OBJECT_LOCK(source);
    delete self->view;
    self->view = view ? new SharedView(*view) : nullptr;
    GST_OBJECT_UNLOCK(source);
}

void deleteView(gpointer data)
{
    delete static_cast<SharedView*>(data);
}

} // namespace

bool ZelTrimmedSource::use(GstElement* pipeline, int fd, const QList<ZelTagTrim::Stretch>& stretches)
{
    if (!registerOnce())
        return false;
    auto view = std::make_shared<const View>(fd, stretches);
    if (!view->isValid())
        return false;
    g_object_set_data_full(G_OBJECT(pipeline), ViewKey, new SharedView(view), deleteView);
    g_signal_connect(pipeline, "source-setup", G_CALLBACK(sourceSetup), nullptr);
    const QByteArray uri = QByteArray(Scheme) + "://" + QByteArray::number(fd);
    g_object_set(pipeline, "uri", uri.constData(), nullptr);
    return true;
}
