"""Serves a folder over HTTP on a free loopback port for the updater tests.

Usage: loopback_server.py FOLDER
Prints the port on the first line of standard output once it accepts
connections, then serves until it is killed.
"""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


def main():
    handler = functools.partial(QuietHandler, directory=sys.argv[1])
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
