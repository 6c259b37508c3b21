#pragma once

#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QStringList>

namespace paneltest {

// A made-up portrait: a background, shoulders and a head, as JPEG bytes.
inline QByteArray portrait(int seed, int w = 120, int h = 160)
{
    QRandomGenerator rnd(quint32(seed) * 7919u + 13u);
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, QColor::fromHsv(rnd.bounded(360), 60, 230));
    bg.setColorAt(1, QColor::fromHsv(rnd.bounded(360), 90, 150));
    p.fillRect(img.rect(), bg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv(rnd.bounded(360), 150, 120));
    p.drawEllipse(QRectF(w * 0.1, h * 0.68, w * 0.8, h * 0.6));
    const QColor skin = QColor::fromHsv(20 + rnd.bounded(15), 80 + rnd.bounded(80), 140 + rnd.bounded(100));
    p.setBrush(skin);
    p.drawEllipse(QRectF(w * 0.28, h * 0.18, w * 0.44, h * 0.48));
    p.setBrush(QColor::fromHsv(25, 120, 40 + rnd.bounded(120)));
    p.drawChord(QRectF(w * 0.26, h * 0.14, w * 0.48, h * 0.3), 0, 180 * 16);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(w * 0.39, h * 0.36, w * 0.05, h * 0.03));
    p.drawEllipse(QRectF(w * 0.56, h * 0.36, w * 0.05, h * 0.03));
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG", 85);
    return bytes;
}

inline const QStringList &lastNames()
{
    static const QStringList n = {
        QStringLiteral("Petrović"),  QStringLiteral("Jovanović"), QStringLiteral("Nikolić"),
        QStringLiteral("Marković"),  QStringLiteral("Đorđević"),  QStringLiteral("Stojanović"),
        QStringLiteral("Ilić"),      QStringLiteral("Stanković"), QStringLiteral("Pavlović"),
        QStringLiteral("Milošević"), QStringLiteral("Todorović"), QStringLiteral("Smith"),
        QStringLiteral("Mills"),     QStringLiteral("Doe")};
    return n;
}

inline const QStringList &firstNames()
{
    static const QStringList n = {QStringLiteral("Ana"),    QStringLiteral("Marko"),  QStringLiteral("Jelena"),
                                  QStringLiteral("Nikola"), QStringLiteral("Milica"), QStringLiteral("Stefan"),
                                  QStringLiteral("Ivana"),  QStringLiteral("Luka"),   QStringLiteral("Sara"),
                                  QStringLiteral("Đorđe"),  QStringLiteral("Jane"),   QStringLiteral("John")};
    return n;
}

// Activity identifiers 1 to 5 with their descriptions; the colours go into a ColourMap.
inline QString activityName(int id)
{
    static const QStringList n = {QStringLiteral("Work"), QStringLiteral("Break"), QStringLiteral("Business trip"),
                                  QStringLiteral("Sick leave"), QStringLiteral("Private exit")};
    return n.value(id - 1);
}

// Fills a tablet with the texts the update pass would give it.
inline void feed(CTablet *t, int i)
{
    const int activity = 1 + i % 5;
    t->activityId = QString::number(activity);
    t->activityDescription = activityName(activity);
    t->dateText = QStringLiteral("08.12.2026.");
    t->timeText =
        QStringLiteral("%1:%2").arg(7 + i % 3, 2, 10, QLatin1Char('0')).arg((i * 7) % 60, 2, 10, QLatin1Char('0'));
}

} // namespace paneltest
