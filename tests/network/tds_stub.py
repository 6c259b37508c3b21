#!/usr/bin/env python3
"""A database server stand-in for the network tests: it speaks just enough of the TDS protocol
(pre-login, login, requests, attention) for the FreeTDS ODBC driver to log in and run statements.

Every request is answered with an empty "done", so a select reads no rows and a procedure call
succeeds. With --stall, requests are never answered (a server hung inside a statement); an
attention (the client cancelling at its time-out) is still acknowledged, as a real server does.

Prints the port it listens on, then one line per event ("login", "request", "attention") so a
test can follow what the driver did. Runs until killed.
"""
import argparse
import socket
import struct
import sys
import threading

PRELOGIN, LOGIN7, SQL_BATCH, RPC, ATTENTION, REPLY = 0x12, 0x10, 0x01, 0x03, 0x06, 0x04


def say(text):
    print(text, flush=True)


def packet(kind, payload):
    return struct.pack(">BBHHBB", kind, 0x01, 8 + len(payload), 0, 1, 0) + payload


def read_message(conn):
    """One whole message (a run of packets up to end-of-message); None when the peer went."""
    kind, body = None, b""
    while True:
        head = b""
        while len(head) < 8:
            part = conn.recv(8 - len(head))
            if not part:
                return None, None
            head += part
        kind, status, length = head[0], head[1], struct.unpack(">H", head[2:4])[0]
        rest = length - 8
        while rest > 0:
            part = conn.recv(rest)
            if not part:
                return None, None
            body += part
            rest -= len(part)
        if status & 0x01:
            return kind, body


def prelogin_reply():
    version = struct.pack(">IH", 0x0F000000, 0)
    encryption = b"\x02"  # encryption not supported
    head_len = 5 * 2 + 1
    head = struct.pack(">BHH", 0x00, head_len, len(version))
    head += struct.pack(">BHH", 0x01, head_len + len(version), len(encryption)) + b"\xff"
    return head + version + encryption


def b_varchar(text):
    return bytes([len(text)]) + text.encode("utf-16-le")


def done(status=0):
    return struct.pack("<BHHQ", 0xFD, status, 0, 0)


def login_reply():
    env = b"\x01" + b_varchar("att") + b_varchar("master")
    envchange = struct.pack("<BH", 0xE3, len(env)) + env
    ack = b"\x01" + bytes([0x74, 0x00, 0x00, 0x04]) + b_varchar("Stub") + bytes([15, 0, 0, 0])
    loginack = struct.pack("<BH", 0xAD, len(ack)) + ack
    return envchange + loginack + done()


def serve(conn, stall):
    try:
        while True:
            kind, _ = read_message(conn)
            if kind is None:
                return
            if kind == PRELOGIN:
                conn.sendall(packet(REPLY, prelogin_reply()))
            elif kind == LOGIN7:
                say("login")
                conn.sendall(packet(REPLY, login_reply()))
            elif kind == ATTENTION:
                say("attention")
                conn.sendall(packet(REPLY, done(0x20)))
            else:
                say("request")
                if not stall:
                    conn.sendall(packet(REPLY, done()))
    except OSError:
        pass
    finally:
        conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--stall", action="store_true")
    args = parser.parse_args()
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", args.port))
    server.listen(16)
    say(str(server.getsockname()[1]))
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, args.stall), daemon=True).start()


if __name__ == "__main__":
    sys.exit(main())
