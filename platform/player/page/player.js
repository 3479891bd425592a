// The page side of the player control. The widget drives it with kivoraPlayer.load() and
// kivoraPlayer.stop(); the page answers with console messages that carry a private prefix.
(function () {
  "use strict";
  const reportPrefix = "\u0001kivora-player ";

  function report(event, generation, reason) {
    console.log(reportPrefix + JSON.stringify({ event: event, generation: generation, reason: reason || "" }));
  }

  // The movie is shown whole, letterboxed; it starts with sound at once and shows nothing
  // of the player's own (no splash, no overlay, no menu), and it may not open pages.
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = {
    publicPath: "kivora://player/assets/ruffle/",
    polyfills: false,
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    contextMenu: "off",
    letterbox: "on",
    scale: "showAll",
    quality: "high",
    openUrlMode: "deny",
    upgradeToHttps: false,
    showSwfDownload: false,
    warnOnUnsupportedContent: false,
    favorFlash: false,
    allowScriptAccess: false,
    logLevel: "warn",
  };

  // Ruffle tries WebGPU and WebGL before it settles for the canvas, and each failed try
  // costs a quarter of a second per movie. Whether WebGL works is known once per page.
  function preferredRenderer() {
    const canvas = document.createElement("canvas");
    let webgl = null;
    try { webgl = canvas.getContext("webgl2") || canvas.getContext("webgl"); } catch (e) { webgl = null; }
    return webgl ? "webgl" : "canvas";
  }
  window.RufflePlayer.config.preferredRenderer = preferredRenderer();

  let current = null;

  // The wasm memory of a dropped movie goes back only when the script engine collects it.
  function collect() {
    if (typeof window.gc === "function") { window.gc(); }
  }

  function drop() {
    if (current) {
      current.element.remove();
      current = null;
      collect();
    }
  }

  function isCurrent(element) {
    return current !== null && current.element === element;
  }

  function fail(element, reason) {
    if (!isCurrent(element)) { return; }
    const generation = current.generation;
    drop();
    report("failed", generation, reason);
  }

  window.kivoraPlayer = {
    // Replaces whatever was playing or loading by the movie at url. extraConfig carries the
    // settings the widget decides at run time (fonts, renderer).
    load: function (generation, url, extraConfig) {
      drop();
      const element = window.RufflePlayer.newest().createPlayer();
      element.tabIndex = 0;
      current = { generation: generation, element: element, url: url, loaded: false, paused: false };
      document.body.appendChild(element);
      element.addEventListener("loadedmetadata", function () {
        if (!isCurrent(element)) { element.remove(); return; }
        current.loaded = true;
        if (current.paused) {
          element.ruffle().pause();
        } else {
          element.focus();
        }
        report("loaded", generation);
      });
      // A movie's relative addresses (its levels, sounds, data) name files beside it, as in a
      // player that hosts the movie directly; the page's own folder is no place of the movie's.
      const base = url.slice(0, url.lastIndexOf("/") + 1);
      element.ruffle().load(Object.assign({ url: url, base: base }, extraConfig || {})).catch(function (error) {
        fail(element, String(error));
      });
    },

    // Starts Ruffle (its module compiled, its fonts read) with an empty movie nobody sees,
    // so that the first real movie starts as fast as any later one.
    prepare: function (extraConfig) {
      const blank = [70, 87, 83, 10, 20, 0, 0, 0, 48, 10, 0, 160, 0, 12, 1, 0, 64, 0, 0, 0];
      const element = window.RufflePlayer.newest().createPlayer();
      element.style.visibility = "hidden";
      element.style.position = "absolute";
      document.body.appendChild(element);
      const done = function () { element.remove(); collect(); };
      element.addEventListener("loadedmetadata", done);
      element.ruffle().load(Object.assign({ data: blank }, extraConfig || {})).catch(done);
    },

    // Holds the movie where it is, sound included, while its window is out of sight.
    pause: function (generation) {
      if (current === null || current.generation !== generation) { return; }
      current.paused = true;
      if (current.loaded) { current.element.ruffle().pause(); }
    },

    resume: function (generation) {
      if (current === null || current.generation !== generation) { return; }
      current.paused = false;
      if (current.loaded) {
        current.element.ruffle().play();
        current.element.focus();
      }
    },

    // What the page has now, for tests: whether a movie is there and whether it plays.
    state: function () {
      if (current === null) { return { movie: false, playing: false }; }
      return { movie: true, loaded: current.loaded,
               playing: current.loaded && !current.paused && current.element.ruffle().isPlaying };
    },

    // Drops the movie: nothing shown, no sound, also when it was still loading.
    stop: function () {
      drop();
    },

    // Told by the fetch shim what a read of a movie brought. Ruffle reports a file that is
    // no SWF at all only on its error screen, so the signature is checked here.
    movieRead: function (url, bytes) {
      if (current === null || url !== current.url) { return; }
      const signature = String.fromCharCode.apply(null, new Uint8Array(bytes, 0, Math.min(3, bytes.byteLength)));
      if (["FWS", "CWS", "ZWS"].indexOf(signature) < 0) { fail(current.element, "not a SWF file"); }
    },

    // Told by the fetch shim when a read of the current movie failed.
    movieReadFailed: function (url, reason) {
      if (current !== null && url === current.url) { fail(current.element, reason); }
    },
  };

  // Ruffle reports a movie it cannot play by replacing it with an error screen; it logs the
  // cause first. Those screens offer links out, so the movie is dropped and the widget told.
  const consoleError = console.error.bind(console);
  console.error = function () {
    consoleError.apply(null, arguments);
    if (current !== null && !current.loaded) {
      fail(current.element, Array.prototype.map.call(arguments, String).join(" "));
    }
  };
})();
