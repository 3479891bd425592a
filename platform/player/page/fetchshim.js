// This engine's fetch() refuses custom schemes, and everything the player reads comes
// from ours; XMLHttpRequest does reach it, so fetch() is rebuilt over it.
(function () {
  "use strict";
  // Assets and fonts never change while the page lives; a new player instance is built for
  // every movie and would otherwise read the font file again each time.
  const immutable = new Map();
  const immutablePrefixes = ["kivora://player/assets/", "kivora://player/fonts/"];

  const moviePrefix = "kivora://player/movie/";

  function movieReadFailed(url, reason) {
    if (window.kivoraPlayer) { window.kivoraPlayer.movieReadFailed(url, reason); }
  }

  function movieRead(url, bytes) {
    if (window.kivoraPlayer) { window.kivoraPlayer.movieRead(url, bytes); }
  }

  function isImmutable(url) {
    return immutablePrefixes.some(function (prefix) { return url.startsWith(prefix); });
  }

  function parseHeaders(text) {
    const headers = new Headers();
    text.trim().split(/[\r\n]+/).forEach(function (line) {
      const colon = line.indexOf(":");
      if (colon > 0) {
        try { headers.append(line.slice(0, colon).trim(), line.slice(colon + 1).trim()); }
        catch (e) { /* a header name the Headers class refuses is of no use here */ }
      }
    });
    return headers;
  }

  // inspect, when given, sees the body before the caller does.
  function request(url, method, headers, body, signal, inspect) {
    return new Promise(function (resolve, reject) {
      const xhr = new XMLHttpRequest();
      xhr.open(method, url, true);
      xhr.responseType = "arraybuffer";
      headers.forEach(function (value, name) {
        try { xhr.setRequestHeader(name, value); } catch (e) { /* forbidden header */ }
      });
      xhr.onload = function () {
        const status = xhr.status === 0 ? 200 : xhr.status;
        if (inspect && status >= 200 && status < 300) { inspect(xhr.response); }
        const response = new Response(xhr.response, {
          status: status,
          statusText: xhr.statusText || "OK",
          headers: parseHeaders(xhr.getAllResponseHeaders()),
        });
        Object.defineProperty(response, "url", { value: url });
        resolve(response);
      };
      xhr.onerror = function () { reject(new TypeError("Failed to fetch " + url)); };
      xhr.onabort = function () { reject(new DOMException("The request was aborted", "AbortError")); };
      if (signal) {
        if (signal.aborted) { xhr.abort(); return; }
        signal.addEventListener("abort", function () { xhr.abort(); });
      }
      xhr.send(body);
    });
  }

  window.fetch = async function (input, init) {
    init = init || {};
    const isRequest = input instanceof Request;
    const url = new URL(isRequest ? input.url : String(input), document.baseURI).href;
    const method = (init.method || (isRequest ? input.method : "GET")).toUpperCase();
    const headers = new Headers(init.headers || (isRequest ? input.headers : undefined));
    let body = init.body;
    if (body === undefined && isRequest && method !== "GET" && method !== "HEAD") {
      body = await input.arrayBuffer();
    }
    const signal = init.signal || (isRequest ? input.signal : undefined);

    if (method === "GET" && isImmutable(url)) {
      if (!immutable.has(url)) {
        const pending = request(url, method, headers, null, signal).then(async function (response) {
          if (!response.ok) { immutable.delete(url); return response; }
          return { bytes: await response.arrayBuffer(), headers: response.headers };
        });
        immutable.set(url, pending);
        pending.catch(function () { immutable.delete(url); });
      }
      const stored = await immutable.get(url);
      if (stored instanceof Response) { return stored; }
      const response = new Response(stored.bytes.slice(0), { status: 200, headers: stored.headers });
      Object.defineProperty(response, "url", { value: url });
      return response;
    }
    const isMovie = url.startsWith(moviePrefix);
    const inspect = isMovie ? function (bytes) { movieRead(url, bytes); } : null;
    const pending = request(url, method, headers, body === undefined ? null : body, signal, inspect);
    if (isMovie) {
      pending.then(function (response) {
        if (!response.ok) { movieReadFailed(url, "HTTP status " + response.status); }
      }, function (error) {
        movieReadFailed(url, String(error));
      });
    }
    return pending;
  };
})();
