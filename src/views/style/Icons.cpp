#include "views/style/Icons.h"

#include "views/style/OwnSymbols.h"
#include "views/style/Style.h"

#include <QDir>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStandardPaths>
#include <QSvgRenderer>

namespace Icons {

namespace {

const QString fallbackTheme = QStringLiteral("Adwaita");

// Symbol names of the design mapped to freedesktop names. Symbols missing
// here are drawn by OwnSymbols.
const QHash<QString, QString>& themeTable()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("magnifyingglass"), QStringLiteral("edit-find-symbolic")},
        {QStringLiteral("waveform.badge.magnifyingglass"), QStringLiteral("edit-find-symbolic")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-default-symbolic")},
        {QStringLiteral("exclamationmark.circle.fill"), QStringLiteral("emblem-important-symbolic")},
        {QStringLiteral("pencil"), QStringLiteral("document-edit-symbolic")},
        {QStringLiteral("arrow.down.circle"), QStringLiteral("folder-download-symbolic")},
        {QStringLiteral("arrow.down.circle.fill"), QStringLiteral("folder-download-symbolic")},
        {QStringLiteral("arrow.triangle.2.circlepath.circle.fill"), QStringLiteral("software-update-available-symbolic")},
        {QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning-symbolic")},
        {QStringLiteral("folder"), QStringLiteral("folder-symbolic")},
        {QStringLiteral("trash"), QStringLiteral("user-trash-symbolic")},
        {QStringLiteral("scissors"), QStringLiteral("edit-cut-symbolic")},
        {QStringLiteral("play.fill"), QStringLiteral("media-playback-start-symbolic")},
        {QStringLiteral("pause.fill"), QStringLiteral("media-playback-pause-symbolic")},
        {QStringLiteral("stop.fill"), QStringLiteral("media-playback-stop-symbolic")},
        {QStringLiteral("gobackward.15"), QStringLiteral("media-seek-backward-symbolic")},
        {QStringLiteral("goforward.15"), QStringLiteral("media-seek-forward-symbolic")},
        {QStringLiteral("waveform"), QStringLiteral("audio-x-generic-symbolic")},
        {QStringLiteral("doc.text"), QStringLiteral("text-x-generic-symbolic")},
        {QStringLiteral("doc.on.doc"), QStringLiteral("edit-copy-symbolic")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
        {QStringLiteral("arrow.down"), QStringLiteral("go-down-symbolic")},
        {QStringLiteral("cpu"), QStringLiteral("computer-symbolic")},
        {QStringLiteral("doc.text.magnifyingglass"), QStringLiteral("system-search-symbolic")},
        {QStringLiteral("captions.bubble"), QStringLiteral("media-view-subtitles-symbolic")},
        {QStringLiteral("mic.badge.plus"), QStringLiteral("audio-input-microphone-symbolic")},
        {QStringLiteral("waveform.and.mic"), QStringLiteral("audio-input-microphone-symbolic")},
        {QStringLiteral("checkmark"), QStringLiteral("object-select-symbolic")},
        {QStringLiteral("person.3.fill"), QStringLiteral("system-users-symbolic")},
        {QStringLiteral("person.2.fill"), QStringLiteral("avatar-default-symbolic")},
        {QStringLiteral("mic.and.signal.meter.fill"), QStringLiteral("audio-input-microphone-symbolic")},
        {QStringLiteral("book.fill"), QStringLiteral("accessories-dictionary-symbolic")},
        {QStringLiteral("note.text"), QStringLiteral("accessories-text-editor-symbolic")},
        {QStringLiteral("mic.fill"), QStringLiteral("audio-input-microphone-symbolic")},
        {QStringLiteral("mic.slash.fill"), QStringLiteral("microphone-disabled-symbolic")},
        {QStringLiteral("speaker.wave.1"), QStringLiteral("audio-volume-low-symbolic")},
        {QStringLiteral("speaker.wave.2"), QStringLiteral("audio-volume-medium-symbolic")},
        {QStringLiteral("speaker.wave.3.fill"), QStringLiteral("audio-volume-high-symbolic")},
        {QStringLiteral("speaker.slash.fill"), QStringLiteral("audio-volume-muted-symbolic")},
        {QStringLiteral("shield.lefthalf.filled"), QStringLiteral("security-medium-symbolic")},
        {QStringLiteral("shield.slash"), QStringLiteral("security-low-symbolic")},
        {QStringLiteral("lock.shield.fill"), QStringLiteral("security-high-symbolic")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning-symbolic")},
        {QStringLiteral("gearshape.fill"), QStringLiteral("emblem-system-symbolic")},
        {QStringLiteral("waveform.badge.mic"), QStringLiteral("audio-input-microphone-symbolic")},
        {QStringLiteral("folder.fill"), QStringLiteral("folder-symbolic")},
        {QStringLiteral("video.badge.waveform"), QStringLiteral("camera-video-symbolic")},
        {QStringLiteral("phone.down.fill"), QStringLiteral("call-stop-symbolic")},
        {QStringLiteral("record.circle"), QStringLiteral("media-record-symbolic")},
        {QStringLiteral("line.3.horizontal"), QStringLiteral("open-menu-symbolic")},
    };
    return table;
}

QImage tinted(QImage image, const QColor& color)
{
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

QImage render(const QString& symbol, int pixels)
{
    const QString name = themeName(symbol);
    if (!name.isEmpty()) {
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.isNull())
            return themed.pixmap(QSize(pixels, pixels), 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QByteArray drawing = OwnSymbols::svg(symbol);
    if (drawing.isEmpty())
        return image;
    QSvgRenderer renderer(drawing);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    return image;
}

// Draws the symbol at whatever size and scale a button asks for.
class TintedIconEngine : public QIconEngine {
public:
    TintedIconEngine(QString symbol, QColor color)
        : m_symbol(std::move(symbol))
        , m_color(std::move(color))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        const QPixmap image = Icons::pixmap(m_symbol, side, colorFor(mode), ratio);
        const QRect target(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
        painter->drawPixmap(target, image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icons::pixmap(m_symbol, std::min(size.width(), size.height()), colorFor(mode));
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return Icons::pixmap(m_symbol, std::min(size.width(), size.height()), colorFor(mode), scale);
    }

    QIconEngine* clone() const override { return new TintedIconEngine(m_symbol, m_color); }
    QString key() const override { return QStringLiteral("nimbrel-tinted"); }

private:
    QColor colorFor(QIcon::Mode mode) const
    {
        if (mode != QIcon::Disabled)
            return m_color;
        QColor dimmed = m_color;
        dimmed.setAlphaF(dimmed.alphaF() * 0.35f);
        return dimmed;
    }

    QString m_symbol;
    QColor m_color;
};

} // namespace

void installTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList dataDirs
        = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& dir : dataDirs + QStringList{QStringLiteral("/usr/local/share/icons"), QStringLiteral("/usr/share/icons")}) {
        if (!paths.contains(dir) && QDir(dir).exists())
            paths.append(dir);
    }
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(fallbackTheme);
    QIcon::setFallbackThemeName(fallbackTheme);
}

QString themeName(const QString& symbol)
{
    return themeTable().value(symbol);
}

bool hasSymbol(const QString& symbol)
{
    const QString name = themeName(symbol);
    if (!name.isEmpty())
        return QIcon::hasThemeIcon(name);
    return !OwnSymbols::svg(symbol).isEmpty();
}

QPixmap pixmap(const QString& symbol, int size, const QColor& color, qreal devicePixelRatio)
{
    const int pixels = std::max(1, qRound(size * devicePixelRatio));
    const QString key = QStringLiteral("nimbrel-symbol:%1:%2:%3").arg(symbol).arg(pixels).arg(color.rgba(), 8, 16);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QPixmap result = QPixmap::fromImage(tinted(render(symbol, pixels), color));
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

QIcon icon(const QString& symbol, const QColor& color)
{
    return QIcon(new TintedIconEngine(symbol, color));
}

QIcon icon(const QString& symbol, const Tint& tint)
{
    return icon(symbol, Style::color(tint));
}

} // namespace Icons
