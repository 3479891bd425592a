#include "tools/artwork/iconmaker.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kivora {

QByteArray IconMaker::svg()
{
    return QByteArrayLiteral(R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="bumper" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffc44d"/>
      <stop offset="1" stop-color="#ff9126"/>
    </linearGradient>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#64beff"/>
      <stop offset="1" stop-color="#c8ecff"/>
    </linearGradient>
    <linearGradient id="sea" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#40c4ff"/>
      <stop offset="1" stop-color="#0288d1"/>
    </linearGradient>
    <clipPath id="screen">
      <rect x="34" y="34" width="188" height="188" rx="18"/>
    </clipPath>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="52" fill="url(#bumper)" stroke="#2d3047" stroke-width="6"/>
  <rect x="18" y="18" width="220" height="220" rx="44" fill="none" stroke="#ffecb3" stroke-width="4"/>
  <rect x="28" y="28" width="200" height="200" rx="24" fill="#2d3047"/>
  <g clip-path="url(#screen)">
    <rect x="34" y="34" width="188" height="110" fill="url(#sky)"/>
    <rect x="34" y="140" width="188" height="82" fill="url(#sea)"/>
    <g stroke="#ffffff" stroke-width="4" stroke-linecap="round" fill="none" opacity="0.8">
      <path d="M48 200 q8 -6 16 0 t16 0"/>
      <path d="M170 206 q8 -6 16 0 t16 0"/>
    </g>
    <circle cx="182" cy="76" r="22" fill="#ffdd40" stroke="#2d3047" stroke-width="4"/>
    <circle cx="175" cy="73" r="2.8" fill="#2d3047"/>
    <circle cx="189" cy="73" r="2.8" fill="#2d3047"/>
    <path d="M174 82 q8 7 16 0" fill="none" stroke="#2d3047" stroke-width="3" stroke-linecap="round"/>
    <path d="M70 62 a12 12 0 0 1 22 -6 a14 14 0 0 1 26 6 a10 10 0 0 1 2 20 h-50 a10 10 0 0 1 0 -20 z" fill="#ffffff" stroke="#2d3047" stroke-width="3"/>
    <ellipse cx="122" cy="178" rx="84" ry="30" fill="#ffe096" stroke="#ffffff" stroke-width="6"/>
    <ellipse cx="122" cy="176" rx="72" ry="22" fill="#7cc84e" stroke="#2d3047" stroke-width="3"/>
    <path d="M112 176 q-2 -40 18 -66 l8 2 q-16 28 -14 64 z" fill="#b27640" stroke="#2d3047" stroke-width="3" stroke-linejoin="round"/>
    <g fill="#4caf50" stroke="#2d3047" stroke-width="3" stroke-linejoin="round">
      <path d="M134 110 q-26 -18 -50 2 q24 -4 50 -2 z"/>
      <path d="M134 110 q24 -22 50 -4 q-26 -2 -50 4 z"/>
      <path d="M134 110 q-6 -26 -30 -30 q18 12 30 30 z"/>
      <path d="M134 110 q12 -24 36 -24 q-22 8 -36 24 z"/>
      <path d="M134 110 q-22 0 -36 22 q18 -14 36 -22 z"/>
      <path d="M134 110 q24 2 34 24 q-16 -16 -34 -24 z"/>
    </g>
    <circle cx="130" cy="114" r="6" fill="#795548" stroke="#2d3047" stroke-width="2"/>
    <circle cx="140" cy="116" r="6" fill="#8d6452" stroke="#2d3047" stroke-width="2"/>
    <path d="M150 166 l10 -20 l10 20 z" fill="#ef5350" stroke="#2d3047" stroke-width="3" stroke-linejoin="round"/>
  </g>
  <circle cx="128" cy="21" r="4" fill="#37474f"/>
</svg>
)svg");
}

QByteArray IconMaker::smallSvg()
{
    // At 16 to 24 pixels only big shapes survive: the frame, sky, sea, island, sun, palm.
    return QByteArrayLiteral(R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <rect x="0.5" y="0.5" width="31" height="31" rx="7" fill="#ff9f2e" stroke="#2d3047" stroke-width="1"/>
  <rect x="3.5" y="3.5" width="25" height="25" rx="3" fill="#2d3047"/>
  <rect x="4.5" y="4.5" width="23" height="14" fill="#7ccaff"/>
  <rect x="4.5" y="18" width="23" height="9.5" fill="#1ea5ea"/>
  <circle cx="22" cy="9.5" r="3.2" fill="#ffdd40"/>
  <ellipse cx="15" cy="22" rx="10" ry="3.8" fill="#ffe096"/>
  <ellipse cx="15" cy="21.8" rx="8.2" ry="2.6" fill="#6cbf42"/>
  <path d="M14 22 q0 -6 3 -10 l1.2 0.4 q-2.6 4.5 -2.2 9.6 z" fill="#a0622e"/>
  <path d="M17.5 12 q-4 -3 -8 0 q4 -0.6 8 0 z M17.5 12 q4 -3.4 8 -0.4 q-4 -0.2 -8 0.4 z M17.5 12 q-3.6 0 -6 3.6 q3 -2.4 6 -3.6 z M17.5 12 q3.8 0.4 5.4 3.8 q-2.6 -2.6 -5.4 -3.8 z" fill="#3fa544"/>
</svg>
)svg");
}

QImage IconMaker::render(int size)
{
    QSvgRenderer renderer(size <= 24 ? smallSvg() : svg());
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace kivora
