#!/usr/bin/env python3
"""The scripted family portal of `make faults`, on one loopback port.

Every mode writes each request it has wholly received to the journal before
answering: its endpoint and its query field's Windows-1252 bytes (for an
export, the statements the portal received, to compare with the program's
statement logs).

  proxy  --to PORT          hands each request to the portal stand-in on PORT
  drip   --every S          answers 200 then one byte every S seconds, without end
  answer --on WORD          answers the first request whose endpoint holds WORD
                            with --body FILE, or with --bytes N of --kind K
                            (payments: records whose last one is cut; one-field:
                            a single field; lines: a text of reply lines), with
                            or without a Content-Length (--raw: the file is the
                            whole reply, status line and headers included);
                            every other request gets an empty reply
  record                    answers every request empty (the import: no payment)
"""
import argparse
import os
import signal
import socket
import sys
import time
import urllib.parse

READ_BOUND_S = 60  # a request that stops arriving is dropped after this long
BLOCK = 1 << 20


def read_request(conn):
    """The request's target, its whole bytes and its body, or None when the client went away first."""
    data = bytearray()
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return None
        data += chunk
    head, body = bytes(data).split(b"\r\n\r\n", 1)
    body = bytearray(body)
    lines = head.split(b"\r\n")
    parts = lines[0].split(b" ")
    target = parts[1].decode("latin-1") if len(parts) > 1 else ""
    length = 0
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(body) < length:
        chunk = conn.recv(min(BLOCK, length - len(body)))
        if not chunk:
            return None
        body += chunk
    return target, head + b"\r\n\r\n" + bytes(body), bytes(body)


def query_bytes(body):
    """The query field's bytes; a NUL ends the text as it does for the portal."""
    for field in body.rstrip(b"\r\n").split(b"&"):
        name, _, value = field.partition(b"=")
        if name == b"query":
            raw = urllib.parse.unquote_to_bytes(value.replace(b"+", b" "))
            return raw.split(b"\0", 1)[0]
    return b""


def journal(path, target, body):
    query = query_bytes(body)
    endpoint = target.split("?", 1)[0].rsplit("/", 1)[-1].encode("latin-1")
    with open(path, "ab") as out:
        out.write(b"%d %s\n" % (len(query), endpoint) + query + b"\n")


def send_quietly(conn, data):
    try:
        conn.sendall(data)
        return True
    except OSError:  # the program went away or refused the rest
        return False


def reply_head(length=None):
    head = b"HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=windows-1252\r\n"
    if length is not None:
        head += b"Content-Length: %d\r\n" % length
    return head + b"\r\n"


def forward(port, request):
    with socket.create_connection(("127.0.0.1", port), timeout=READ_BOUND_S) as upstream:
        upstream.sendall(request)
        reply = bytearray()
        while True:
            chunk = upstream.recv(BLOCK)
            if not chunk:
                return bytes(reply)
            reply += chunk


def huge_block(kind):
    """A block of about 1 MiB the huge body repeats, and the body's last bytes."""
    if kind == "payments":
        record = b"12;5;37.50;15-03-2024;240017;1;4700017;1\n"
        return record * (BLOCK // len(record)), b"12;5;37.50\n"
    if kind == "one-field":  # not a number: the refusal quotes it
        return b"Z" * BLOCK, b""
    line = b"Erreur SQL : Duplicate entry '240017' for key 'PRIMARY' dans la table facture\n"
    return line * (BLOCK // len(line)), b""


def send_body_file(conn, path, with_length):
    with open(path, "rb") as body:
        data = body.read()
    send_quietly(conn, reply_head(len(data) if with_length else None) + data)


def send_huge(conn, kind, size, with_length):
    block, tail = huge_block(kind)
    if not send_quietly(conn, reply_head(size if with_length else None)):
        return
    left = size - len(tail)
    while left > 0:
        piece = block if left >= len(block) else block[:left]
        if not send_quietly(conn, piece):
            return
        left -= len(piece)
    send_quietly(conn, tail)


def drip(conn, every):
    if not send_quietly(conn, reply_head()):
        return
    while send_quietly(conn, b"x"):
        time.sleep(every)


class Stop:
    """SIGTERM ends the portal between requests, never inside one: a batch it
    journaled still reaches the stand-in."""

    busy = False
    asked = False

    @classmethod
    def on_signal(cls, *_):
        cls.asked = True
        if not cls.busy:
            sys.exit(0)


def serve(args):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    listener.listen(8)
    with open(args.ready, "w") as ready:
        ready.write("%d\n" % os.getpid())
    answered = False
    while True:
        conn, _ = listener.accept()
        Stop.busy = True
        with conn:
            answered = answer(conn, args, answered)
        Stop.busy = False
        if Stop.asked:
            sys.exit(0)


def answer(conn, args, answered):
    """Answers one connection; whether the answer mode's one answer has now been given."""
    conn.settimeout(READ_BOUND_S)
    try:
        request = read_request(conn)
    except (OSError, ValueError):
        return answered
    if request is None:
        return answered
    target, whole, body = request
    journal(args.journal, target, body)
    if args.mode == "proxy":
        try:
            send_quietly(conn, forward(args.to, whole))
        except OSError as error:  # the stand-in is gone: the program sees a closed connection
            print("fault-portal: stand-in: %s" % error, file=sys.stderr)
    elif args.mode == "drip":
        conn.settimeout(None)
        drip(conn, args.every)
    elif args.mode == "answer" and not answered and args.on in target:
        if args.body and args.raw:
            with open(args.body, "rb") as reply:
                send_quietly(conn, reply.read())
        elif args.body:
            send_body_file(conn, args.body, args.length)
        else:
            send_huge(conn, args.kind, args.bytes, args.length)
        return True
    else:
        send_quietly(conn, reply_head(0))
    return answered


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["proxy", "drip", "answer", "record"])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--journal", required=True)
    parser.add_argument("--ready", required=True, help="file that receives the PID once the port listens")
    parser.add_argument("--to", type=int, help="proxy: the stand-in's port")
    parser.add_argument("--every", type=float, default=2.0, help="drip: seconds between bytes")
    parser.add_argument("--kind", choices=["payments", "one-field", "lines"], default="lines")
    parser.add_argument("--bytes", type=int, default=200 * 1000 * 1000)
    parser.add_argument("--on", default="export", help="answer: a word of the endpoint that gets the answer")
    parser.add_argument("--body", help="answer: the file whose bytes are the answer")
    parser.add_argument("--length", action=argparse.BooleanOptionalAction, default=True)
    parser.add_argument("--raw", action="store_true", help="answer: --body is the whole reply")
    args = parser.parse_args()
    signal.signal(signal.SIGPIPE, signal.SIG_IGN)
    signal.signal(signal.SIGTERM, Stop.on_signal)
    serve(args)


if __name__ == "__main__":
    main()
