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
    slow          each answer of the server reaches the client FOLDER/delay seconds later (0.5)
    flap          stall-query and pass by turns, FOLDER/period seconds each (2); when it turns to
                  pass, the stalled connections are reset, as a server that comes back drops them

Without SERVER_PORT it lets every login in itself, then answers nothing more. Each connection adds
its mode as a line to FOLDER/proxy.log.
"""
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


def setting(name, default):
    try:
        with open(os.path.join(folder, name)) as file:
            return file.read().strip() or default
    except OSError:
        return default


def note(text):
    with lock, open(os.path.join(folder, "proxy.log"), "a") as log:
        log.write(text + "\n")


def flapping_stalled():
    period = float(setting("period", "2"))
    return int((time.monotonic() - started) / period) % 2 == 0


def reset(connection):
    connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    connection.close()


def flapper():
    was = True
    while True:
        time.sleep(0.05)
        now = flapping_stalled()
        if was and not now:
            with lock:
                for connection in stalled:
                    try:
                        reset(connection)
                    except OSError:
                        pass
                stalled.clear()
        was = now


def drain(source):
    try:
        while source.recv(65536):
            pass
    except OSError:
        pass


def relay(source, target, mode):
    """The server's side to the client, as the mode lets it through."""
    logged_in = False
    try:
        while data := source.recv(65536):
            if mode == "slow":
                time.sleep(float(setting("delay", "0.5")))
            if mode in ("stall-query", "stall-result", "flap") and not logged_in:
                at = data.find(b"Z\x00\x00\x00\x05")
                if at >= 0:
                    logged_in = True
                    target.sendall(data[:at + 6])
                    if mode == "stall-result":
                        rest = data[at + 6:] or source.recv(65536)
                        target.sendall(rest[:5])
                    drain(source)
                    return
            target.sendall(data)
    except OSError:
        pass


def forward(source, target):
    try:
        while data := source.recv(65536):
            target.sendall(data)
    except OSError:
        pass


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
    mode = setting("mode", "pass")
    if mode == "flap":
        mode = "flap" if flapping_stalled() else "pass"
    note(mode)
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
    threading.Thread(target=forward, args=(client, server), daemon=True).start()
    relay(server, client, mode)


listener = socket.create_server(("127.0.0.1", 0))
with open(os.path.join(folder, "proxy.port.tmp"), "w") as port:
    port.write(str(listener.getsockname()[1]))
os.rename(os.path.join(folder, "proxy.port.tmp"), os.path.join(folder, "proxy.port"))
threading.Thread(target=flapper, daemon=True).start()
while True:
    accepted, _ = listener.accept()
    threading.Thread(target=serve, args=(accepted,), daemon=True).start()
