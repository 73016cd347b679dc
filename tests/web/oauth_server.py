#!/usr/bin/python3
"""A loopback OAuth 1.0a service for the web client's tests.

It runs the real service's PIN flow on oauthlib's own endpoints (RequestTokenEndpoint,
AccessTokenEndpoint, ResourceEndpoint), an implementation independent of ours, with their
checks on: a callback is required with the request token (RFC 5849 section 2.1) and only
"oob" is accepted, every oauth_ parameter must come in one place (section 3.5), a form body
counts only with its Content-Type, and the verifier must be the PIN the service showed. It
also serves the replies the client must survive: a refusal with a body, replies without
Content-Length, a zero byte in the body, a slow reply, an oversized reply, no reply at all (a
request under /silent/ is taken and never answered), and it names a closed port.

Listens on 127.0.0.1 only, on a port of its own choosing. "PORT CLOSED_PORT" is written to
--port-file once it listens. It stops on POST /shutdown, when the process --parent-pid is
gone, or after --idle seconds without a request.
"""
import argparse
import os
import secrets
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from types import SimpleNamespace
from urllib.parse import parse_qsl, urlsplit

from oauthlib.oauth1 import (AccessTokenEndpoint, RequestTokenEndpoint, RequestValidator,
                             ResourceEndpoint)

CONSUMERS = {"kyrTestConsumerKey2026": "cs&%secret ~+"}
PIN_DIGITS = 7

lock = threading.Lock()
state = SimpleNamespace(
    request_tokens={},   # token -> {"client", "secret", "pin", "used"}
    access_tokens={},    # token -> {"client", "secret"}
    requests=0,
    last="none",         # outcome of the last judged request, for the tests to read
    last_activity=time.monotonic(),
)


class Validator(RequestValidator):
    """The service's policy and storage. Everything else is oauthlib's own checking."""

    # The loopback service speaks plain HTTP; the real one is reached over HTTPS only.
    enforce_ssl = False
    # The service's documented nonces (42 characters in its own example) and this client's
    # (7 to 16 hexadecimal digits, as it has always sent them) are both its business.
    nonce_length = (7, 64)
    # The PIN the authorisation page shows.
    verifier_length = (PIN_DIGITS, PIN_DIGITS)
    dummy_client = "dummyClientKeyForTiming"
    dummy_request_token = "dummyRequestTokenForTiming"
    dummy_access_token = "dummyAccessTokenForTiming"

    def __init__(self):
        super().__init__()
        self.nonces = set()
        self.local = threading.local()

    def _note(self, request):
        self.local.request = request

    def last_failures(self):
        request = getattr(self.local, "request", None)
        log = getattr(request, "validator_log", {}) if request is not None else {}
        failed = [name for name, ok in log.items() if not ok]
        return failed or [getattr(self.local, "reason", "request")]

    def get_default_realms(self, client_key, request):
        return []

    def get_realms(self, token, request):
        return []

    def validate_requested_realms(self, client_key, realms, request):
        return True

    def validate_realms(self, client_key, token, request, uri=None, realms=None):
        return True

    def validate_client_key(self, client_key, request):
        self._note(request)
        return client_key in CONSUMERS

    def get_client_secret(self, client_key, request):
        return CONSUMERS.get(client_key, "dummy")

    def validate_redirect_uri(self, client_key, redirect_uri, request):
        return redirect_uri == "oob"

    def validate_timestamp_and_nonce(self, client_key, timestamp, nonce, request,
                                     request_token=None, access_token=None):
        self._note(request)
        key = (client_key, timestamp, nonce, request_token or access_token)
        with lock:
            if key in self.nonces:
                self.local.reason = "nonce used twice"
                request.validator_log = {}
                return False
            self.nonces.add(key)
        return True

    def save_request_token(self, token, request):
        with lock:
            state.request_tokens[token["oauth_token"]] = {
                "client": request.client_key, "secret": token["oauth_token_secret"],
                "pin": "%0*d" % (PIN_DIGITS, secrets.randbelow(10 ** PIN_DIGITS)), "used": False}

    def _request_token(self, client_key, token):
        with lock:
            entry = state.request_tokens.get(token)
        if entry and entry["client"] == client_key and not entry["used"]:
            return entry
        return None

    def validate_request_token(self, client_key, token, request):
        return self._request_token(client_key, token) is not None

    def get_request_token_secret(self, client_key, token, request):
        entry = self._request_token(client_key, token)
        return entry["secret"] if entry else "dummy"

    def validate_verifier(self, client_key, token, verifier, request):
        entry = self._request_token(client_key, token)
        return entry is not None and secrets.compare_digest(entry["pin"], verifier)

    def invalidate_request_token(self, client_key, request_token, request):
        with lock:
            state.request_tokens[request_token]["used"] = True

    def save_access_token(self, token, request):
        with lock:
            state.access_tokens[token["oauth_token"]] = {
                "client": request.client_key, "secret": token["oauth_token_secret"]}

    def validate_access_token(self, client_key, token, request):
        with lock:
            entry = state.access_tokens.get(token)
        return entry is not None and entry["client"] == client_key

    def get_access_token_secret(self, client_key, token, request):
        with lock:
            entry = state.access_tokens.get(token)
        return entry["secret"] if entry else "dummy"


validator = Validator()
request_token_endpoint = RequestTokenEndpoint(validator)
access_token_endpoint = AccessTokenEndpoint(validator)
resource_endpoint = ResourceEndpoint(validator)


class Refused(Exception):
    pass


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def parse_request(self):
        # Counted before parsing, so garbage (a TLS hello, say) counts as well.
        with lock:
            state.requests += 1
        return super().parse_request()

    def log_message(self, *args):
        pass

    def reply(self, status, text, length=True, extra_headers=()):
        data = text.encode("utf-8") if isinstance(text, str) else text
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        for name, value in extra_headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length).decode("latin-1") if length else ""

    def do_GET(self):
        state.last_activity = time.monotonic()
        url = urlsplit(self.path)
        if url.path == "/oauth/authorize":
            token = dict(parse_qsl(url.query)).get("oauth_token")
            with lock:
                entry = state.request_tokens.get(token)
            if entry is None:
                return self.reply(404, "unknown request token")
            return self.reply(200, entry["pin"])
        if url.path == "/stats":
            with lock:
                return self.reply(200, "requests=%d" % (state.requests - 1))
        if url.path == "/last":
            with lock:
                return self.reply(200, state.last)
        self.reply(404, "not found")

    def do_POST(self):
        state.last_activity = time.monotonic()
        path = urlsplit(self.path).path
        body = self.read_body()
        if path == "/shutdown":
            self.reply(200, "bye")
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return
        if path == "/echo":
            lines = ["method=%s" % self.command, "target=%s" % self.path,
                     "host=%s" % self.headers.get("Host"),
                     "authorization=%s" % self.headers.get("Authorization"),
                     "content-type=%s" % self.headers.get("Content-Type"),
                     "user-agent=%s" % self.headers.get("User-Agent"),
                     "body=%s" % body]
            return self.reply(200, "\n".join(lines))
        if path.startswith("/fault/"):
            return self.fault(path[len("/fault/"):])
        if path.startswith("/silent/"):
            return self.hold()
        handlers = {
            "/oauth/request_token": self.request_token,
            "/oauth/access_token": self.access_token,
            "/1.1/account/verify_credentials.json": self.verify_credentials,
        }
        if path not in handlers:
            return self.reply(404, "not found")
        try:
            outcome, status, text = handlers[path](body)
        except Refused as e:
            outcome, status, text = "refused: %s" % e, 401, "oauth refused: %s" % e
        with lock:
            state.last = outcome
        self.reply(status, text)

    def judged(self, respond):
        """Runs one oauthlib endpoint on this request; (outcome, status, body)."""
        uri = "http://%s%s" % (self.headers.get("Host"), self.path)
        headers, body, status = respond(uri, dict(self.headers.items()))
        if status == 200:
            return None, status, body
        if body:  # oauthlib's own error form, "error=...&error_description=..."
            reason = dict(parse_qsl(body)).get("error_description", body)
        else:
            reason = "invalid " + ", ".join(validator.last_failures())
        raise Refused(reason)

    def request_token(self, body):
        _, status, reply = self.judged(
            lambda uri, headers: request_token_endpoint.create_request_token_response(
                uri, "POST", body, headers))
        return "request token issued", status, reply

    def access_token(self, body):
        _, status, reply = self.judged(
            lambda uri, headers: access_token_endpoint.create_access_token_response(
                uri, "POST", body, headers,
                credentials={"user_id": "4242", "screen_name": "kyr_player"}))
        return "access token issued", status, reply

    def verify_credentials(self, body):
        def respond(uri, headers):
            valid, _ = resource_endpoint.validate_protected_resource_request(
                uri, "POST", body, headers)
            return {}, None, 200 if valid else 401
        self.judged(respond)
        return "credentials verified", 200, "screen_name=kyr_player"

    def hold(self):
        """Takes the request and never answers, until the client gives up (or a minute)."""
        self.close_connection = True
        self.connection.settimeout(60)
        try:
            while self.connection.recv(1024):
                pass
        except OSError:
            pass

    def fault(self, name):
        if name == "unauthorized":
            return self.reply(401, "error=refused by the service")
        if name == "chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for piece in (b"oauth_token=chunk", b"ed&oauth_token_secret=reply"):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                self.wfile.flush()
                time.sleep(0.1)
            self.wfile.write(b"0\r\n\r\n")
            return
        if name == "close":
            # No length: the body ends when the connection does.
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"oauth_token=until&oauth_token_secret=close")
            self.close_connection = True
            return
        if name == "zero":
            return self.reply(200, b"oauth_token=a\0&oauth_token_secret=b")
        if name == "slow":
            pieces = [b"oauth_token=slow", b"ly&oauth_token", b"_secret=", b"written"]
            self.send_response(200)
            self.send_header("Content-Length", str(sum(map(len, pieces))))
            self.end_headers()
            for piece in pieces:
                self.wfile.write(piece)
                self.wfile.flush()
                time.sleep(0.3)
            return
        if name == "limit":
            return self.reply(200, b"x" * (1024 * 1024))
        if name == "big":
            return self.reply(200, b"x" * (1024 * 1024 + 1))
        self.reply(404, "no such fault")


def closed_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def watch(server, parent_pid, idle):
    while True:
        time.sleep(1)
        gone = False
        if parent_pid:
            try:
                os.kill(parent_pid, 0)
            except ProcessLookupError:
                gone = True
        if gone or time.monotonic() - state.last_activity > idle:
            server.shutdown()
            return


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--parent-pid", type=int, default=0)
    parser.add_argument("--idle", type=float, default=120)
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=watch, args=(server, args.parent_pid, args.idle), daemon=True).start()
    temp = args.port_file + ".tmp"
    with open(temp, "w") as f:
        f.write("%d %d\n" % (server.server_address[1], closed_port()))
    os.replace(temp, args.port_file)
    print("oauth_server: listening on 127.0.0.1:%d" % server.server_address[1], flush=True)
    server.serve_forever()
    server.server_close()
    try:
        os.remove(args.port_file)
    except OSError:
        pass


if __name__ == "__main__":
    sys.exit(main())
