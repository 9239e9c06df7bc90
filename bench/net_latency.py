#!/usr/bin/env python3
"""Reads the fix server's TPV reports on N gpsd connections and notes when each arrived.

  net_latency.py N PORT SECONDS OUT   writes "client fixseconds unixtime" lines to OUT
  net_latency.py report TRACE ARRIVALS prints the latency figures (publish -> receipt)
"""
import selectors
import socket
import statistics
import sys
import time


def listen(n, port, seconds, out):
    sel = selectors.DefaultSelector()
    for i in range(n):
        s = socket.create_connection(("127.0.0.1", port))
        s.sendall(b'?WATCH={"enable":true,"json":true};')
        s.setblocking(False)
        sel.register(s, selectors.EVENT_READ, [i, b""])
    end = time.time() + seconds
    with open(out, "w") as f:
        while time.time() < end and n:
            for key, _ in sel.select(timeout=0.2):
                now = time.time()
                data = key.fileobj.recv(1 << 16)
                if not data:
                    sel.unregister(key.fileobj)
                    continue
                key.data[1] += data
                *lines, key.data[1] = key.data[1].split(b"\n")
                for line in lines:
                    at = line.find(b'"class":"TPV"')
                    t = line.find(b'"time":"')
                    if at < 0 or t < 0:
                        continue
                    hms = line[t + 19 : t + 31].decode()  # hh:mm:ss.sss
                    secs = int(hms[0:2]) * 3600 + int(hms[3:5]) * 60 + float(hms[6:])
                    f.write("%d %.3f %.6f\n" % (key.data[0], secs, now))


def report(trace, arrivals):
    published = {}
    for line in open(trace):
        if line.startswith("published"):
            _, secs, unix = line.split()
            published.setdefault(round(float(secs), 3), float(unix))
    lat = []
    for line in open(arrivals):
        _, secs, unix = line.split()
        p = published.get(round(float(secs), 3))
        if p is not None:
            lat.append((float(unix) - p) * 1000)
    if not lat:
        print("no arrivals")
        return
    lat.sort()
    q = lambda x: lat[min(len(lat) - 1, int(x * len(lat)))]
    print("latency ms over %d reports: median %.2f, p95 %.2f, max %.2f"
          % (len(lat), statistics.median(lat), q(0.95), lat[-1]))


if __name__ == "__main__":
    if sys.argv[1] == "report":
        report(sys.argv[2], sys.argv[3])
    else:
        listen(int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), sys.argv[4])
