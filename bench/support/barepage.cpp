#include "bench/support/barepage.h"

QString BarePage::html()
{
    return QStringLiteral(R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<style>html,body{margin:0;width:100%;height:100%;background:#000}ruffle-player{width:100%;height:100%;display:block}</style>
<script src="fetchshim.js"></script>
<script>window.RufflePlayer = {config: {publicPath: "kivora://player/assets/ruffle/", autoplay: "on",
  splashScreen: false, unmuteOverlay: "hidden"}};
function play(url) {
  document.querySelectorAll("ruffle-player").forEach(e => e.remove());
  const p = window.RufflePlayer.newest().createPlayer();
  document.body.appendChild(p);
  p.addEventListener("loadedmetadata", () => console.log("bare-loaded"));
  p.ruffle().load({url: url});
}</script>
<script src="ruffle/ruffle.js"></script></head><body></body></html>)");
}

void BarePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &)
{
    if (message == QLatin1String("bare-loaded"))
        loaded = true;
}
