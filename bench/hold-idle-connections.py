#!/usr/bin/env python3
"""Holds N idle connections to a repair server, each from its own loopback
address (127.2.x.y), for S seconds, sending nothing: the idle terminals of a
measurement, kept by a process that sleeps so that it takes no processor
time from the load program. Run the server with a long --idle-timeout, or
it closes connections of addresses without a session.

    bench/hold-idle-connections.py N SECONDS [PORT]
"""
import socket
import sys
import time

count, seconds = int(sys.argv[1]), int(sys.argv[2])
port = int(sys.argv[3]) if len(sys.argv) > 3 else 1234
held = []
for i in range(count):
    connection = socket.socket()
    connection.bind((f"127.2.{i // 200}.{i % 200 + 1}", 0))
    connection.connect(("127.0.0.1", port))
    held.append(connection)
print(f"{len(held)} connections held", flush=True)
time.sleep(seconds)
