#!/usr/bin/env python3
"""Derives the golden images by hand, independently of the C++ writer.

Each image model below is written out by hand from its configuration (the
table order is the order in which the builder first meets each string), and
the bytes are laid out straight from the byte layout of bank.bin. Run it from
this folder to regenerate empty.bin, rich.bin and rich/Configuration.xml.
"""
import struct

BASE = 0x124000
EVENT_TEXTS = [
    "chiamata inferiore a soglia da: ", "chiamata superiore a soglia da: ",
    "chiamata con chiusura da:       ", "............................... ",
    "sms ricevuto ..:                ", "sms ricevuto da:                ",
    "............................... ", "............................... ",
    "ingresso digitale 1 alto        ", "ingresso digitale 1 basso       ",
    "ingresso digitale 2 alto        ", "ingresso digitale 2 basso       ",
    "ingresso analogico alto         ", "ingresso analogico basso        ",
    "Ritorno a riposo da alto        ", "Ritorno a riposo da basso       ",
]


def hex_text(text, width):
    units = text.encode("utf-16-le")
    digits = b"".join(b"%04X" % struct.unpack_from("<H", units, i) for i in range(0, len(units), 2))
    digits = digits[:width]
    return digits + b"\0" * (width - len(digits)) + b"\0"


def field(data, keep, size):
    data = data[:keep]
    return data + b"\0" * (size - len(data))


def layout(m):
    out = bytearray(72)
    counts = [len(m["passwords"]), len(m["phones"]), len(m["messages"]), 60, 8,
              len(m["sms"]), len(m["calls"]), 16, 1]
    for i, c in enumerate(counts):
        struct.pack_into("<I", out, 8 * i, c)

    def begin(area):
        while len(out) % 4:
            out.append(0)
        struct.pack_into("<I", out, 8 * area + 4, BASE + len(out))
        return len(out)

    begin(0)
    for p in m["passwords"]:
        out.extend(hex_text(p, 32))
    out.extend(b"\0" * 33)
    begin(1)
    for p in m["phones"]:
        out.extend(field(p.encode("cp1252"), 16, 17))
    out.extend(b"\0" * 17)
    begin(2)
    for t in m["messages"]:
        out.extend(hex_text(t, 256))
    out.extend(b"\0" * 257)
    begin(3)
    for w in m["words"]:
        out.extend(struct.pack("<I", w))

    start = begin(4)
    cursor = start + 9 * 12
    for delay, thr, flags, lst in m["inputs"]:
        out.extend(struct.pack("<HHI", delay, thr, flags))
        if lst:
            out.extend(struct.pack("<I", BASE + cursor))
            cursor += (len(lst) + 1) * 4
        else:
            out.extend(b"\xff" * 4)
    out.extend(b"\xff" * 12)
    for _, _, _, lst in m["inputs"]:
        if lst:
            for a, b in lst:
                out.extend(struct.pack("<HH", a, b))
            out.extend(b"\xff" * 4)

    start = begin(5)
    cursor = start + (len(m["sms"]) + 1) * 20
    for text, pw, checks, action, echo, allowed in m["sms"]:
        out.extend(struct.pack("<IHHI", text, pw, checks, action))
        for lst in (echo, allowed):
            if lst:
                out.extend(struct.pack("<I", BASE + cursor))
                cursor += (len(lst) + 1) * 4
            else:
                out.extend(b"\xff" * 4)
    out.extend(b"\xff" * 20)
    for rec in m["sms"]:
        for lst in (rec[4], rec[5]):
            if lst:
                for a, b in lst:
                    out.extend(struct.pack("<HH", a, b))
                out.extend(b"\xff" * 4)

    begin(6)
    for phone, profile, ring, hang, under, above, hangup in m["calls"]:
        out.extend(struct.pack("<IHBB", phone, profile, ring, hang))
        for action in (under, above, hangup):
            out.extend(struct.pack("<I", action) + b"\xff" * 4)
    out.extend(b"\xff" * 32)

    begin(7)
    for t in EVENT_TEXTS:
        out.extend(t.encode("ascii") + b"\0")
    begin(8)
    out.extend(field(m["pin"].encode("cp1252"), 8, 17))
    out.extend(field(m["dst"].encode("ascii"), 16, 17))
    return bytes(out)


ALL = 0xFFFFFFFF
OFF = (0, 0, 0, [])

# A new configuration: every switch off, every table empty, empty PIN.
EMPTY = {
    "passwords": [], "phones": [], "messages": [],
    "words": [ALL, ALL] + [0] * 48 + [ALL] * 10,
    "inputs": [OFF] * 8, "sms": [], "calls": [], "pin": "", "dst": "ORA-LEGALE_OFF",
}

# rich/Configuration.xml, described in RICH_XML below.
RICH_WORDS = [0] * 60
RICH_WORDS[0:2] = [ALL, ALL]
RICH_WORDS[2] = 0x01FF0000          # week 1, Monday 08.00-12.30 (slots 16-24)
RICH_WORDS[5] = 0x00008000          # week 1, Tuesday slot 47
RICH_WORDS[42:44] = [ALL, 0xFFFF]   # week 3, Sunday all day
RICH_WORDS[44:46] = [0x80000001, 0x00008001]  # day 1: slots 0, 31, 32, 47
RICH_WORDS[50:60] = [ALL] * 10
RICH = {
    "passwords": ["7839", "abc12345XYZ"],
    "phones": ["+393331111111", "+393332222222", "+393333333333", "+393334444444",
               "+393335555555", "+393336666666"],
    "messages": ["Door open", "Door closed", "door open", "High \u00e9\U0001F600", "",
                 "Turn On DO1", "Turn Off DO1", "Pulse DO2"],
    "words": RICH_WORDS,
    "inputs": [
        (250, 0, 0x40, [(0, 0), (1, 0)]),
        OFF,
        OFF,
        (60000, 0, 0x40, [(0, 1), (1, 2)]),
        (1000, 540, 0x40, [(2, 3)]),     # 7,5 V
        (100, 144, 0x40, [(0, 4)]),      # 2 V
        (100, 468, 0, []),               # 6.5 V
        (100, 72, 0, []),                # no Value_Low_Hys: 1.0 V
    ],
    "sms": [
        (5, 0, 3, 0x00000001, [], [(3, 1), (0, 0)]),
        (6, 0, 3, 0x00000002, [], [(3, 1), (0, 0)]),
        (7, 1, 1, 0x01F40060, [(0xFFFE, 7)], [(0xFFFF, 3)]),
    ],
    "calls": [
        (4, 2, 3, 5, 0, 0x00640010, 0x00000001),
        (3, 0, 3, 5, 0, 0x00640010, 0x00000001),
    ],
    "pin": "1234", "dst": "ORA-LEGALE_ON",
}


def rich_xml():
    def el(name, *children, text=None):
        return (name, text, list(children))

    def leaf(name, text):
        return (name, text, [])

    def in_row(msg, phone):
        return el("SMS", leaf("Message", msg), leaf("Phone_Number", phone), leaf("Description", "d"))

    def out_row(phone, profile):
        return el("SMS", leaf("Phone_Number", phone), leaf("Profile", profile), leaf("Description", "d"))

    def slots(on):
        return [leaf("Time_Slot", "1" if i in on else "0") for i in range(48)]

    days = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"]

    def week(n, enable, day_slots):
        return el("Week%d" % n, leaf("Enable_Week", enable),
                  el("Time_Slots", *[el(d, *slots(day_slots.get(d, ()))) for d in days]))

    def day(n, enable, on):
        return el("Day%d" % n, leaf("Enable_Day", enable), el("Time_Slots", *slots(on)))

    def output(n, sms, call):
        return el("Digital_Output_%d" % n, el("SMS", *sms), el("CALL", *call))

    def call(enable, rows, hang=("0", "0", "100"), under=("0", "0", "100"), above=("0", "0", "100")):
        return [leaf("Enable_from_CALL", enable), leaf("Ring_Number_from_CALL", "3"),
                leaf("Hang_Up_Ring_from_CALL", "5"),
                leaf("Enable_Hang_Up_from_CALL", hang[0]), leaf("Operation_Hang_Up_from_CALL", hang[1]),
                leaf("Delay_Time_Imp_Hang_from_CALL", hang[2]),
                leaf("Enable_Under_Ring_from_CALL", under[0]), leaf("Operation_Under_Ring_from_CALL", under[1]),
                leaf("Delay_Time_Imp_Under_from_CALL", under[2]),
                leaf("Enable_Above_Ring_from_CALL", above[0]), leaf("Operation_Above_Ring_from_CALL", above[1]),
                leaf("Delay_Time_Imp_Above_from_CALL", above[2]),
                el("List_SMS", *rows)]

    def sms(enable, set_, reset, impulse, texts, delay, phone, pw, pw_text, back, rows):
        return [leaf("Enable_from_SMS", enable), leaf("Set_from_SMS", set_), leaf("Set_from_SMS_Text", texts[0]),
                leaf("Reset_from_SMS", reset), leaf("Reset_from_SMS_Text", texts[1]),
                leaf("Impulse_from_SMS", impulse), leaf("Impulse_from_SMS_Text", texts[2]),
                leaf("Delay_Impulse_from_SMS", delay), leaf("Check_Phone_Number_from_SMS", phone),
                leaf("Check_Password_from_SMS", pw), leaf("Password_from_SMS_Text", pw_text),
                leaf("Send_Back_SMS_from_SMS", back), el("List_SMS", *rows)]

    root = el(
        "Configuration",
        el("Phone_Setting", leaf("PIN", "1234"), leaf("DST", "1")),
        el("Input",
           el("Digital",
              el("Digital_Input_1",
                 leaf("En_SMS_F0T1", "1"), leaf("Time_Delay_F0T1", "250"),
                 el("List_SMS_F0T1", in_row("Door open", "+393331111111"),
                    in_row("Door open  ", " +393332222222 ")),
                 leaf("En_SMS_F1T0", "0"), leaf("Time_Delay_F1T0", "not read while off"),
                 el("List_SMS_F1T0", in_row("Not collected", "+390000000001"))),
              el("Digital_Input_2",
                 leaf("En_SMS_F0T1", "0"), leaf("Time_Delay_F0T1", "100"), el("List_SMS_F0T1"),
                 leaf("En_SMS_F1T0", "1"), leaf("Time_Delay_F1T0", "60000"),
                 el("List_SMS_F1T0", in_row("Door closed", "+393331111111"),
                    in_row("door open", "+393332222222")))),
           el("Analog",
              el("Analog_Input_1",
                 leaf("En_SMS_High", "1"), leaf("Value_High", "7,5"), leaf("Time_Delay_High", "1000"),
                 leaf("Value_High_Hys", "6.5"),
                 el("List_SMS_High", in_row("High \u00e9\U0001F600", "+393333333333")),
                 leaf("En_SMS_Low", "1"), leaf("Value_Low", "2"), leaf("Time_Delay_Low", "100"),
                 el("List_SMS_Low", in_row("", "+393331111111"))))),
        el("Output",
           el("Digital",
              output(1,
                     sms("1", "1", "1", "0", ("Turn On DO1", "Turn Off DO1", "Impulse DO1"), "100",
                         "1", "1", "7839", "0",
                         [out_row("+393334444444", "1"), out_row("+393331111111", "")]),
                     call("1", [out_row("+393335555555", "2"), out_row("+393334444444", "0")],
                          hang=("1", "0", "100"), above=("1", "2", "100"))),
              output(2,
                     sms("1", "0", "0", "1", ("Turn On DO2", "Turn Off DO2", "Pulse DO2"), "500",
                         "0", "1", "abc12345XYZ", "1", [out_row("+393336666666", "3")]),
                     call("0", [out_row("+390000000002", "1")])))),
        el("Date_Time_Profile",
           leaf("Date_Time", ""),
           el("Profile",
              el("Weekly",
                 week(1, "1", {"Monday": range(16, 25), "Tuesday": [47]}),
                 week(2, "0", {"Monday": [0]}),
                 week(3, "1", {"Sunday": range(48)})),
              el("Daily", day(1, "1", [0, 31, 32, 47]), day(2, "0", [5]), day(3, "1", [])))),
    )

    def esc(t):
        return t.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")

    lines = ['<?xml version="1.0" encoding="UTF-8"?>']

    def emit(node, depth):
        name, text, children = node
        pad = "  " * depth
        if children:
            lines.append("%s<%s>" % (pad, name))
            for c in children:
                emit(c, depth + 1)
            lines.append("%s</%s>" % (pad, name))
        elif text:
            lines.append("%s<%s>%s</%s>" % (pad, name, esc(text), name))
        else:
            lines.append("%s<%s/>" % (pad, name))

    emit(root, 0)
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    import os
    empty = layout(EMPTY)
    assert len(empty) == 1350
    open("empty.bin", "wb").write(empty)
    os.makedirs("rich", exist_ok=True)
    open("rich/Configuration.xml", "w", encoding="utf-8").write(rich_xml())
    open("rich.bin", "wb").write(layout(RICH))
