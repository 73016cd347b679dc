#!/usr/bin/python3
"""A loopback OAuth 1.0a service for the web client's tests.

It issues request tokens, PINs and access tokens like the real service's PIN flow, and judges
every signature with oauthlib, an implementation independent of ours. It also serves the
replies the client must survive: a refusal with a body, replies without Content-Length, a zero
byte in the body, a slow reply, an oversized reply, and it names a closed port.

Listens on 127.0.0.1 only, on a port of its own choosing. "PORT CLOSED_PORT" is written to
--port-file once it listens. It stops on POST /shutdown, when the process --parent-pid is
gone, or after --idle seconds without a request.

Like the real service, the body is read as form parameters although the client sends no
Content-Type (the OAuth rules would otherwise leave oauth_verifier out of the signature).
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

from oauthlib.oauth1.rfc5849 import signature, utils

CONSUMERS = {"kyrTestConsumer": "cs&%secret ~+"}
TIMESTAMP_WINDOW = 300

lock = threading.Lock()
state = SimpleNamespace(
    nonces=set(),        # (consumer, timestamp, nonce) already seen
    request_tokens={},   # token -> [secret, pin, used]
    access_tokens={},    # token -> secret
    requests=0,
    last="none",         # outcome of the last judged request, for the tests to read
    last_activity=time.monotonic(),
)


def fresh(prefix):
    return prefix + secrets.token_hex(8)


class Refused(Exception):
    pass


def judge(handler, body, token_secrets):
    """Checks the OAuth parameters and the signature; returns (params dict, body params)."""
    auth = handler.headers.get("Authorization")
    if auth is None:
        raise Refused("no Authorization header")
    try:
        header_params = dict(utils.parse_authorization_header(auth))
        body_params = parse_qsl(body, keep_blank_values=True, strict_parsing=bool(body),
                                encoding="utf-8", errors="strict")
    except (ValueError, UnicodeDecodeError) as e:
        raise Refused("malformed request: %s" % e)
    params = signature.collect_parameters(headers={"Authorization": auth}, body=body_params,
                                          exclude_oauth_signature=False)
    names = [name for name, _ in params]
    if len(names) != len(set(names)):
        raise Refused("a parameter occurs twice: %s" % sorted(names))
    given = dict(params)
    for required in ("oauth_consumer_key", "oauth_nonce", "oauth_signature_method",
                     "oauth_timestamp", "oauth_signature"):
        if required not in given:
            raise Refused("missing " + required)
    if given["oauth_signature_method"] != "HMAC-SHA1" or given.get("oauth_version", "1.0") != "1.0":
        raise Refused("unsupported method or version")
    consumer_secret = CONSUMERS.get(given["oauth_consumer_key"])
    if consumer_secret is None:
        raise Refused("unknown consumer")
    if abs(int(given["oauth_timestamp"]) - time.time()) > TIMESTAMP_WINDOW:
        raise Refused("timestamp out of range")
    token = given.get("oauth_token")
    token_secret = token_secrets(token)
    if token_secret is None:
        raise Refused("unknown token")

    uri = "http://%s%s" % (handler.headers.get("Host"), urlsplit(handler.path).path)
    request = SimpleNamespace(
        params=[p for p in params if p[0] != "oauth_signature"], uri=uri, http_method="POST",
        signature=given["oauth_signature"])
    if not signature.verify_hmac_sha1(request, consumer_secret, token_secret):
        raise Refused("signature invalid")
    replay = (given["oauth_consumer_key"], given["oauth_timestamp"], given["oauth_nonce"])
    with lock:
        if replay in state.nonces:
            raise Refused("nonce used twice")
        state.nonces.add(replay)
    return given, body_params


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
            return self.reply(200, entry[1])
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

    def request_token(self, body):
        given, _ = judge(self, body, lambda token: "" if token is None else None)
        token, secret = fresh("rt"), fresh("rs")
        pin = "%07d" % secrets.randbelow(10 ** 7)
        with lock:
            state.request_tokens[token] = [secret, pin, False]
        return ("request token issued", 200,
                "oauth_token=%s&oauth_token_secret=%s&oauth_callback_confirmed=true"
                % (token, secret))

    def access_token(self, body):
        def request_secret(token):
            with lock:
                entry = state.request_tokens.get(token)
            return entry[0] if entry and not entry[2] else None
        given, body_params = judge(self, body, request_secret)
        # A PIN that is not encoded could smuggle fields into the body.
        if any(name != "oauth_verifier" for name, _ in body_params):
            raise Refused("body fields %s" % [name for name, _ in body_params])
        with lock:
            entry = state.request_tokens[given["oauth_token"]]
            if given.get("oauth_verifier") != entry[1]:
                raise Refused("verifier %r does not match" % given.get("oauth_verifier"))
            entry[2] = True
            token, secret = "4242-" + secrets.token_hex(8), fresh("as")
            state.access_tokens[token] = secret
        return ("access token issued", 200,
                "oauth_token=%s&oauth_token_secret=%s&user_id=4242&screen_name=kyr_player"
                % (token, secret))

    def verify_credentials(self, body):
        def access_secret(token):
            with lock:
                return state.access_tokens.get(token)
        given, _ = judge(self, body, access_secret)
        return "credentials verified", 200, "screen_name=kyr_player"

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
