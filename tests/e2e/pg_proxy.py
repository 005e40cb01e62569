#!/usr/bin/env python3
"""A PostgreSQL server that stops answering, for the tests of a stuck source.

    pg_proxy.py FOLDER [SERVER_PORT]

Listens on 127.0.0.1 and writes its port to FOLDER/proxy.port. With SERVER_PORT it stands in front
of the server there and treats each connection as FOLDER/mode says when the connection is made:

    pass          relays both ways
    stall-query   relays the login; nothing of the server's reaches the client after its first
                  ReadyForQuery: a query that is never answered
    stall-result  as stall-query, but the first bytes of the answer reach the client: a result cut
                  short
    silent        answers nothing, not even the login
    slow          each answer of the server reaches the client half a second later
    flap          stall-query and pass by turns, two seconds each; when it turns to
                  pass, the stalled connections are reset, as a server that comes back drops them

Without SERVER_PORT it lets every login in itself, then answers nothing more. Each connection adds
its mode as a line to FOLDER/proxy.log.
"""
import contextlib
import os
import socket
import struct
import sys
import threading
import time

folder = sys.argv[1]
server_port = int(sys.argv[2]) if len(sys.argv) > 2 else None
stalled = []  # the connections a flap stalls, reset when it turns
lock = threading.Lock()
started = time.monotonic()


def flapping_stalled():
    return int((time.monotonic() - started) / 2) % 2 == 0


def flapper():
    was = True
    while True:
        time.sleep(0.05)
        now = flapping_stalled()
        if was and not now:
            with lock:
                for connection in stalled:
                    with contextlib.suppress(OSError):  # a reset, as a server that comes back drops them
                        connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                        connection.close()
                stalled.clear()
        was = now


def drain(source):
    with contextlib.suppress(OSError):
        while source.recv(65536):
            pass


def relay(source, target, mode):
    """One side to the other, as the mode lets the server's answers through."""
    with contextlib.suppress(OSError):
        while data := source.recv(65536):
            if mode == "slow":
                time.sleep(0.5)
            at = data.find(b"Z\x00\x00\x00\x05") if mode in ("stall-query", "stall-result", "flap") else -1
            if at >= 0:  # the first ReadyForQuery: the login is through
                target.sendall(data[:at + 6])
                if mode == "stall-result":
                    target.sendall((data[at + 6:] or source.recv(65536))[:5])
                drain(source)
                return
            target.sendall(data)


def let_in(client):
    """Answers the login of a client with no server behind, then nothing more."""
    while True:
        header = client.recv(8, socket.MSG_WAITALL)
        if len(header) < 8:
            return
        length, code = struct.unpack("!ii", header)
        if code in (80877103, 80877104):  # SSLRequest, GSSENCRequest: neither is offered
            client.sendall(b"N")
            continue
        client.recv(length - 8, socket.MSG_WAITALL)
        client.sendall(b"R" + struct.pack("!ii", 8, 0) + b"Z" + struct.pack("!i", 5) + b"I")
        drain(client)
        return


def serve(client):
    mode = "pass"
    with contextlib.suppress(OSError):
        mode = open(os.path.join(folder, "mode")).read().strip() or "pass"
    if mode == "flap":
        mode = "flap" if flapping_stalled() else "pass"
    with lock, open(os.path.join(folder, "proxy.log"), "a") as log:
        log.write(mode + "\n")
    if server_port is None:
        let_in(client)
        return
    if mode == "silent":
        drain(client)
        return
    server = socket.create_connection(("127.0.0.1", server_port))
    if mode == "flap":
        with lock:
            stalled.append(client)
    threading.Thread(target=relay, args=(client, server, "pass"), daemon=True).start()
    relay(server, client, mode)


listener = socket.create_server(("127.0.0.1", 0))
with open(os.path.join(folder, "proxy.port.tmp"), "w") as port:
    port.write(str(listener.getsockname()[1]))
os.rename(os.path.join(folder, "proxy.port.tmp"), os.path.join(folder, "proxy.port"))
threading.Thread(target=flapper, daemon=True).start()
while True:
    accepted, _ = listener.accept()
    threading.Thread(target=serve, args=(accepted,), daemon=True).start()
