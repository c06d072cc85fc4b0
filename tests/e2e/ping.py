"""Pings a window the way a window manager does (_NET_WM_PING) for a while,
one ping at a time, and prints the longest wait for an answer in seconds
(the limit given if one never came). Run with the system's Python, which
has python3-xlib.

    ping.py WINDOW_ID SECONDS [LIMIT]"""

import select
import sys
import time

from Xlib import X, display, protocol

INTERVAL = 0.1


def main(window_id, seconds, limit):
    connection = display.Display()
    window = connection.create_resource_object("window", window_id)
    root = connection.screen().root
    # The answer goes to the root window for those who hear its structure.
    root.change_attributes(event_mask=X.StructureNotifyMask)
    protocols = connection.intern_atom("WM_PROTOCOLS")
    ping = connection.intern_atom("_NET_WM_PING")
    worst = 0.0
    stamp = 0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        stamp += 1
        window.send_event(protocol.event.ClientMessage(window=window, client_type=protocols,
                                                       data=(32, [ping, stamp, window_id, 0, 0])),
                          event_mask=0)
        connection.flush()
        sent = time.monotonic()
        answered = False
        while not answered:
            left = limit - (time.monotonic() - sent)
            if left <= 0:
                break
            if connection.pending_events() == 0:
                select.select([connection.fileno()], [], [], left)
                if connection.pending_events() == 0:
                    continue
            event = connection.next_event()
            answered = (event.type == X.ClientMessage and event.client_type == protocols and
                        event.data[1][0] == ping and event.data[1][1] == stamp)
        worst = max(worst, time.monotonic() - sent if answered else limit)
        time.sleep(INTERVAL)
    print(f"{worst:.3f}")


if __name__ == "__main__":
    main(int(sys.argv[1], 0), float(sys.argv[2]), float(sys.argv[3]) if len(sys.argv) > 3 else 10.0)
