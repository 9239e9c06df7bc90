#!/usr/bin/python3
"""Clients of the fix server for its system test, run with Debian's python3 (for the gps module).

  fix_clients.py tpv LAT0 LAT1 LON0 LON1 DATE < gpspipe -w output
  fix_clients.py nmea LAT0 LAT1 LON0 LON1 < NMEA text
  fix_clients.py pygps PORT LAT0 LAT1 LON0 LON1
  fix_clients.py nmea-port PORT LAT0 LAT1 LON0 LON1 [SECONDS]
  fix_clients.py abuse NMEA_PORT GPSD_PORT
  fix_clients.py limit NMEA_PORT
  fix_clients.py version PORT          the first line is a VERSION object
  fix_clients.py refused PORT          nothing listens on the port
  fix_clients.py eof PORT SECONDS      connects, prints "connected", waits for the server's close
Each prints what it found and exits non-zero on a failure.
"""
import json
import socket
import sys
import time


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def in_box(lat, lon, box):
    return box[0] <= lat <= box[1] and box[2] <= lon <= box[3]


def nmea_degrees(value, hemisphere):
    dot = value.index(".")
    degrees = float(value[: dot - 2]) + float(value[dot - 2 :]) / 60.0
    return -degrees if hemisphere in "SW" else degrees


def check_nmea_text(text, box):
    """Every line a checksum-valid sentence; returns the positions of GGA and RMC."""
    positions = []
    for line in text.splitlines():
        line = line.strip()
        if not line or line.startswith("{"):  # gpspipe -r shows the server's answers too
            continue
        if not line.startswith("$") or line[-3] != "*":
            fail("not a sentence: %r" % line)
        body, given = line[1:-3], line[-2:]
        total = 0
        for c in body.encode():
            total ^= c
        if "%02X" % total != given.upper():
            fail("bad checksum: %r" % line)
        f = body.split(",")
        if f[0][2:] == "GGA" and f[2]:
            positions.append((nmea_degrees(f[2], f[3]), nmea_degrees(f[4], f[5])))
        if f[0][2:] == "RMC" and f[3]:
            positions.append((nmea_degrees(f[3], f[4]), nmea_degrees(f[5], f[6])))
    if not positions:
        fail("no position in %d bytes of NMEA" % len(text))
    for p in positions:
        if not in_box(p[0], p[1], box):
            fail("position %s outside %s" % (p, box))
    print("nmea: %d positions, all in the box" % len(positions))


def tpv(box, date):
    seen = 0
    for line in sys.stdin:
        obj = json.loads(line)  # every line valid JSON
        if obj.get("class") != "TPV" or "lat" not in obj:
            continue
        if not in_box(obj["lat"], obj["lon"], box):
            fail("TPV outside the box: %s" % line)
        if not obj.get("time", "").startswith(date):
            fail("TPV time not on %s: %s" % (date, line))
        seen += 1
    if seen == 0:
        fail("no TPV with a position")
    print("gpspipe -w: %d TPV in the box" % seen)


def pygps(port, box):
    import gps

    session = gps.gps(host="127.0.0.1", port=port, mode=gps.WATCH_ENABLE | gps.WATCH_JSON)
    deadline = time.time() + 10
    fixes = 0
    while time.time() < deadline and fixes < 3:
        report = session.next()
        if report["class"] == "TPV" and getattr(report, "lat", None) is not None:
            if not in_box(report.lat, report.lon, box):
                fail("gps module: TPV outside the box: %s" % report)
            fixes += 1
    session.close()
    if fixes < 3:
        fail("gps module: %d fixes in 10 s" % fixes)
    print("gps module: %d fixes, mode %s, in the box" % (fixes, session.fix.mode))


def read_for(sock, seconds):
    sock.settimeout(0.2)
    got = b""
    end = time.time() + seconds
    while time.time() < end:
        try:
            chunk = sock.recv(65536)
        except socket.timeout:
            continue
        if not chunk:
            break
        got += chunk
    return got


def nmea_port(port, box, seconds=3):
    s = socket.create_connection(("127.0.0.1", port))
    text = read_for(s, seconds).decode("ascii")
    s.close()
    check_nmea_text(text, box)


def watch(port):
    s = socket.create_connection(("127.0.0.1", port))
    s.sendall(b'?WATCH={"enable":true,"json":true};\n')
    return s


def abuse(nmea, gpsd):
    """40 readers, a stalled reader and two junk senders: every reader keeps getting epochs."""
    stalled = socket.socket()
    stalled.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    stalled.connect(("127.0.0.1", gpsd))
    stalled.sendall(b'?WATCH={"enable":true,"json":true};')
    endless = socket.create_connection(("127.0.0.1", gpsd))
    junk = socket.create_connection(("127.0.0.1", gpsd))
    readers = [socket.create_connection(("127.0.0.1", nmea)) for _ in range(20)]
    readers += [watch(gpsd) for _ in range(20)]
    for s in readers:
        s.setblocking(False)
    # A megabyte without a line end, and a megabyte of short junk lines.
    endless.settimeout(5)
    junk.settimeout(5)
    try:
        endless.sendall(b"x" * (1 << 20))
    except OSError:
        pass  # dropped while sending: as it should
    try:
        junk.sendall(b"hello gpsd\n" * ((1 << 20) // 11))
    except OSError:
        pass
    got = [b""] * len(readers)
    end = time.time() + 4
    while time.time() < end:
        for i, s in enumerate(readers):
            try:
                got[i] += s.recv(65536)
            except BlockingIOError:
                pass
        time.sleep(0.05)
    epochs = [g.count(b"$GPRMC") if i < 20 else g.count(b'"class":"TPV"') for i, g in enumerate(got)]
    print("abuse: epochs per reader in 4 s: %s" % epochs)
    if min(epochs) < 3:
        fail("a reader starved: %s" % epochs)
    endless.settimeout(2)
    try:
        dropped = endless.recv(65536) == b"" or endless.recv(65536) == b""
    except (ConnectionResetError, socket.timeout):
        dropped = True
    if not dropped:
        fail("the endless line did not get its sender disconnected")
    print("abuse: the sender of an endless line was disconnected")
    for s in readers + [stalled, junk, endless]:
        s.close()


def limit(nmea):
    """64 clients are served; the 65th is closed at once."""
    clients = [socket.create_connection(("127.0.0.1", nmea)) for _ in range(64)]
    time.sleep(1.5)
    extra = socket.create_connection(("127.0.0.1", nmea))
    extra.settimeout(5)
    try:
        refused = extra.recv(100) == b""
    except ConnectionResetError:
        refused = True
    if not refused:
        fail("the 65th client was served")
    starving = 0
    for s in clients:
        s.settimeout(3)
        if b"$GP" not in s.recv(65536):
            starving += 1
    for s in clients + [extra]:
        s.close()
    if starving:
        fail("%d of 64 clients got nothing" % starving)
    print("limit: 64 clients served, the 65th refused")


def version(port):
    s = socket.create_connection(("127.0.0.1", port), timeout=5)
    line = s.makefile("rb").readline()
    s.close()
    if json.loads(line).get("class") != "VERSION":
        fail("first line: %r" % line)
    print("version: %s" % line.decode().strip())


def refused(port):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=5).close()
    except ConnectionRefusedError:
        print("refused: nothing listens on %d" % port)
        return
    fail("port %d still served" % port)


def eof(port, seconds):
    s = socket.create_connection(("127.0.0.1", port), timeout=seconds)
    print("connected", flush=True)
    try:
        while s.recv(65536):
            pass
    except ConnectionResetError:
        pass
    except socket.timeout:
        fail("no close within %s s" % seconds)
    print("eof: the server closed the connection")


def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    box = lambda a: tuple(float(x) for x in a[:4])
    if cmd == "tpv":
        tpv(box(args), args[4])
    elif cmd == "nmea":
        check_nmea_text(sys.stdin.read(), box(args))
    elif cmd == "pygps":
        pygps(int(args[0]), box(args[1:]))
    elif cmd == "nmea-port":
        nmea_port(int(args[0]), box(args[1:]), float(args[5]) if len(args) > 5 else 3)
    elif cmd == "abuse":
        abuse(int(args[0]), int(args[1]))
    elif cmd == "limit":
        limit(int(args[0]))
    elif cmd == "version":
        version(int(args[0]))
    elif cmd == "refused":
        refused(int(args[0]))
    elif cmd == "eof":
        eof(int(args[0]), float(args[1]))
    else:
        fail("unknown command " + cmd)


if __name__ == "__main__":
    main()
