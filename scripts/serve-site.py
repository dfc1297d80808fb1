#!/usr/bin/env python3
"""Serves the web edition's site folder on 127.0.0.1 with the headers the site is made for:
its Content-Security-Policy and the types browsers insist on. Usage: serve-site.py FOLDER PORT"""
import functools
import http.server
import pathlib
import sys

POLICY = (pathlib.Path(__file__).resolve().parent.parent / "platform/web/content-security-policy").read_text().strip()


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".js": "text/javascript",
    }

    def end_headers(self):
        # Frames are refused here: a header can say so, a page's own policy cannot.
        self.send_header("Content-Security-Policy", POLICY + "; frame-ancestors 'none'")
        self.send_header("X-Content-Type-Options", "nosniff")
        super().end_headers()


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(SiteHandler, directory=folder)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
