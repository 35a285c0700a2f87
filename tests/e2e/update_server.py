"""The update site the test build downloads from: a small web server on 127.0.0.1:18732.

Each scenario says what the server answers for which address (a program with its published
SHA-256 beside it, any body with any status); everything else gets a 404 page. The server
notes every request, so a scenario can tell whether the program or its updater asked for
anything at all. It runs in a thread of the test and is stopped by the test (stop() waits a
bounded time).
"""

import hashlib
import http.server
import threading

HOST = "127.0.0.1"
PORT = 18732
SITE = f"http://{HOST}:{PORT}"

NOT_FOUND = (b"<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
             b"<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body></html>\n")


def sha256_line(data, name):
    """A published hash file as release tools write it: the hex digest, two blanks, the file name."""
    return f"{hashlib.sha256(data).hexdigest()}  {name}\n".encode()


class UpdateServer:
    def __init__(self):
        self.answers = {}  # path -> (status, body, content type)
        self.requests = []  # (method, path), in the order they came
        self._lock = threading.Lock()
        self._server = None
        self._thread = None

    # ---------------------------------------------------------------- what it answers
    def answer(self, path, body, status=200, content_type="application/octet-stream"):
        with self._lock:
            self.answers[path] = (status, body, content_type)

    def program(self, path, data, digest_of=None):
        """Serves a program at `path` and its SHA-256 at `path`.sha256 (the digest of `digest_of`
        instead, to publish a wrong one)."""
        self.answer(path, data)
        name = path.rsplit("/", 1)[-1]
        self.answer(path + ".sha256", sha256_line(data if digest_of is None else digest_of, name),
                    content_type="text/plain")

    def html(self, path, body, status=200):
        self.answer(path, body, status, "text/html; charset=utf-8")

    def missing(self, path):
        """The path (and its hash file) answer 404, as for any address not set up."""
        with self._lock:
            self.answers.pop(path, None)
            self.answers.pop(path + ".sha256", None)

    def requested(self):
        with self._lock:
            return [path for _, path in self.requests]

    # ---------------------------------------------------------------- running
    def start(self):
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"
            timeout = 20  # a client that stops talking does not hold a thread for ever

            def do_GET(self):
                self._reply(send_body=True)

            def do_HEAD(self):
                self._reply(send_body=False)

            def _reply(self, send_body):
                path = self.path.split("?", 1)[0]
                with owner._lock:
                    owner.requests.append((self.command, path))
                    status, body, content_type = owner.answers.get(
                        path, (404, NOT_FOUND, "text/html; charset=utf-8"))
                self.send_response(status)
                self.send_header("Content-Type", content_type)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                if send_body:
                    self.wfile.write(body)

            def log_message(self, *args):
                pass

        class Server(http.server.ThreadingHTTPServer):
            allow_reuse_address = True
            daemon_threads = True

        self._server = Server((HOST, PORT), Handler)
        self._thread = threading.Thread(target=self._server.serve_forever, kwargs={"poll_interval": 0.1},
                                        name="update-server", daemon=True)
        self._thread.start()
        return self

    @property
    def running(self):
        return self._server is not None

    def stop(self, timeout=10):
        """Stops answering: the port is closed afterwards (a client gets "connection refused")."""
        if self._server is None:
            return
        server, self._server = self._server, None
        stopper = threading.Thread(target=server.shutdown, daemon=True)
        stopper.start()
        stopper.join(timeout)
        server.server_close()
        self._thread.join(timeout)
        if self._thread.is_alive():
            raise RuntimeError("the update server did not stop")
