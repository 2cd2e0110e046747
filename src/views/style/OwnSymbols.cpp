#include "views/style/OwnSymbols.h"

#include <QHash>

namespace OwnSymbols {

namespace {

QByteArray drawing(const char* path)
{
    return QByteArrayLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\" viewBox=\"0 0 24 24\">"
                             "<path fill=\"#000\" fill-rule=\"evenodd\" d=\"")
        + path + QByteArrayLiteral("\"/></svg>");
}

} // namespace

QByteArray svg(const QString& symbol)
{
    // Circled glyphs are cut out of a filled circle, so they tint as one shape.
    static const QHash<QString, QByteArray> drawings{
        {QStringLiteral("xmark.circle.fill"),
         drawing("M1,12 a11,11 0 1,0 22,0 a11,11 0 1,0 -22,0 Z M16.42,14.65 L14.65,16.42 L12,13.77 L9.35,16.42 L7.58,14.65 L10.23,12 L7.58,9.35 L9.35,7.58 L12,10.23 L14.65,7.58 L16.42,9.35 L13.77,12 Z")},
        {QStringLiteral("play.circle.fill"),
         drawing("M1,12 a11,11 0 1,0 22,0 a11,11 0 1,0 -22,0 Z M9.5,7 L17.5,12 L9.5,17 Z")},
        {QStringLiteral("pause.circle.fill"),
         drawing("M1,12 a11,11 0 1,0 22,0 a11,11 0 1,0 -22,0 Z M8.5,7.5 L10.75,7.5 L10.75,16.5 L8.5,16.5 Z M13.25,7.5 L15.5,7.5 L15.5,16.5 L13.25,16.5 Z")},
        {QStringLiteral("stop.circle.fill"),
         drawing("M1,12 a11,11 0 1,0 22,0 a11,11 0 1,0 -22,0 Z M8,8 L16,8 L16,16 L8,16 Z")},
        {QStringLiteral("sparkles"),
         drawing("M10,5 Q10,13 18,13 Q10,13 10,21 Q10,13 2,13 Q10,13 10,5 Z M19,1 Q19,5 23,5 Q19,5 19,9 Q19,5 15,5 Q19,5 19,1 Z M19.5,15.5 Q19.5,18.5 22.5,18.5 Q19.5,18.5 19.5,21.5 Q19.5,18.5 16.5,18.5 Q19.5,18.5 19.5,15.5 Z")},
        {QStringLiteral("text.badge.checkmark"),
         drawing("M2,4 L14,4 L14,6.5 L2,6.5 Z M2,9.5 L14,9.5 L14,12 L2,12 Z M2,15 L9,15 L9,17.5 L2,17.5 Z M11.5,16.5 L13.25,14.75 L16,17.5 L21.25,12.25 L23,14 L16,21 Z")},
        {QStringLiteral("lightbulb.fill"),
         drawing("M12,1.5 a7.5,7.5 0 0,0 -4.5,13.5 L7.5,18 L16.5,18 L16.5,15 a7.5,7.5 0 0,0 -4.5,-13.5 Z M8.5,19.5 L15.5,19.5 L15.5,21 L8.5,21 Z M10,22 L14,22 L14,23 L10,23 Z")},
        {QStringLiteral("square"),
         drawing("M6,3 L18,3 Q21,3 21,6 L21,18 Q21,21 18,21 L6,21 Q3,21 3,18 L3,6 Q3,3 6,3 Z M6.5,5 L17.5,5 Q19,5 19,6.5 L19,17.5 Q19,19 17.5,19 L6.5,19 Q5,19 5,17.5 L5,6.5 Q5,5 6.5,5 Z")},
        {QStringLiteral("checkmark.square.fill"),
         drawing("M6,3 L18,3 Q21,3 21,6 L21,18 Q21,21 18,21 L6,21 Q3,21 3,18 L3,6 Q3,3 6,3 Z M6.75,12.5 L8.5,10.75 L10.75,13 L15.5,8.25 L17.25,10 L10.75,16.5 Z")},
        // Two branches joining under one arrow head.
        {QStringLiteral("arrow.triangle.merge"),
         QByteArrayLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\" viewBox=\"0 0 24 24\">"
                           "<g fill=\"none\" stroke=\"#000\" stroke-width=\"2.2\" stroke-linecap=\"round\">"
                           "<path d=\"M6,22 L6,16 Q6,12 12,10 L12,7\"/><path d=\"M18,22 L18,16 Q18,12 12,10\"/></g>"
                           "<path fill=\"#000\" d=\"M12,1.5 L17.5,8 L6.5,8 Z\"/></svg>")},
        {QStringLiteral("text.quote"),
         drawing("M3,4 L5.5,4 L5.5,20 L3,20 Z M8,5 L21,5 L21,7.5 L8,7.5 Z M8,10.75 L21,10.75 L21,13.25 L8,13.25 Z M8,16.5 L17,16.5 L17,19 L8,19 Z")},
    };
    return drawings.value(symbol);
}

} // namespace OwnSymbols
