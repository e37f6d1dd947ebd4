#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/.

The seeds are kept in the repository; run this again after changing the
input layout of a target (see the comment at the top of each Fuzz*.cpp).
"""
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent
ESC, STX, ETX, CR, LF = 0x1B, 0x02, 0x03, 0x0D, 0x0A


def u16(n):
    return bytes([n & 0xFF, n >> 8])


# --- configuration replies --------------------------------------------------
# header: exchange result (signed), command index + 1, length skew (signed)

def reply(body, result=0, command=-1, skew=0):
    return bytes([result & 0xFF, command + 1, skew & 0xFF]) + bytes(body)


def block(device_type=ord('0'), **changes):
    b = bytearray(24)
    b[0] = device_type
    b[1] = 0x5A                                  # cheque data format
    b[2:8] = bytes([0x2C, 0x2D, 0x2E, 0x2F, 0x3A, 0x3F])  # separators, MICR error code
    b[8], b[9], b[10] = 0x21, 0x10, 0x02         # standard and code type per track
    b[11] = 0x05                                 # read limit
    b[12] = 0x45                                 # MSR error code
    b[13] = 0x60                                 # code-off flags
    b[14], b[15] = 0xAB, 0xCD                    # kept as read
    b[16], b[17] = 0x2A, 0x3F                    # MSR data format, start and end codes
    b[18:24] = bytes([0x25, 0x3F, 0x3B, 0x3F, 0x3B, 0x3F])
    for index, value in changes.items():
        b[int(index[1:])] = value
    return bytes(b)


DEVICE_TYPE_SETUP, DEVICE_INITIAL, MSR_READ_LIMIT = 2, 0, 8

config_reply = {
    "config_custom_24": reply(block(), command=DEVICE_TYPE_SETUP),
    "config_custom_63": reply(block() + bytes(range(0x40, 0x40 + 39)), command=DEVICE_TYPE_SETUP),
    "config_short_23": reply(block()[:23], command=DEVICE_TYPE_SETUP),
    "config_length_one_short": reply(block(), command=DEVICE_TYPE_SETUP, skew=-1),
    "config_device_type_3": reply(block(ord('3')), command=DEVICE_TYPE_SETUP),
    "config_device_type_not_digit": reply(block(ord('X')), command=DEVICE_TYPE_SETUP),
    "config_values_no_control_shows": reply(block(b8=0x37, b9=0x3E, b13=0x9F), command=DEVICE_TYPE_SETUP),
    "config_codes_out_of_list": reply(block(b2=0x00, b3=0x80, b12=0xFF, b18=0x7F), command=DEVICE_TYPE_SETUP),
    "config_no_answer": reply(block(), result=6, command=DEVICE_TYPE_SETUP),
    "ack_esc_0": reply([ESC, ord('0')], command=DEVICE_INITIAL),
    "ack_esc_y": reply([ESC, ord('y')], command=MSR_READ_LIMIT),
    "refusal_esc_1": reply([ESC, ord('1')], command=DEVICE_INITIAL),
    "refusal_06_30": reply([0x06, ord('0')], command=DEVICE_INITIAL),
    "refusal_one_byte": reply([ESC], command=DEVICE_INITIAL),
    "empty_reply": reply([], command=DEVICE_INITIAL),
    "result_5_read_limit": reply([ESC, ord('0')], result=5, command=MSR_READ_LIMIT),
    "result_7_serial_not_opened": reply([], result=7, command=DEVICE_INITIAL),
    "result_negative": reply([ESC, ord('0')], result=-3, command=DEVICE_INITIAL),
    "ack_no_command": reply([ESC, ord('0')], command=-1),
    "ack_command_9": reply([ESC, ord('0')], command=9),
    "length_beyond_reply": reply([ESC, ord('0')] + [0] * 8, command=DEVICE_INITIAL, skew=100),
}

# --- report descriptors -----------------------------------------------------

VENDOR_FEATURE_64 = bytes([
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0xB1, 0x02, 0xC0])
VENDOR_ALL_KINDS_8 = bytes([
    0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x08, 0x09, 0x02, 0x81, 0x02, 0x09, 0x03, 0x91, 0x02,
    0x09, 0x04, 0xB1, 0x02, 0xC0])
BOOT_MOUSE = bytes([
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09,
    0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01,
    0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30,
    0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06,
    0xC0, 0xC0])
BOOT_KEYBOARD = bytes([
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01,
    0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01,
    0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65,
    0x81, 0x00, 0xC0])
COLLECTION = bytes([0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01])
END = bytes([0xC0])
SIZE8 = bytes([0x75, 0x08])


def count(n):
    return bytes([0x95, n])


def report_id(n):
    return bytes([0x85, n])


INPUT, OUTPUT, FEATURE = bytes([0x81, 0x02]), bytes([0x91, 0x02]), bytes([0xB1, 0x02])

report_descriptor = {
    "vendor_feature_64": VENDOR_FEATURE_64,
    "vendor_all_kinds_8": VENDOR_ALL_KINDS_8,
    "boot_mouse": BOOT_MOUSE,
    "boot_keyboard": BOOT_KEYBOARD,
    "report_ids_two_lengths": COLLECTION + SIZE8 + report_id(1) + count(8) + FEATURE
    + report_id(2) + count(63) + FEATURE + report_id(3) + count(4) + INPUT + END,
    "push_pop": COLLECTION + SIZE8 + count(16) + bytes([0xA4]) + count(3) + INPUT
    + bytes([0xB4]) + OUTPUT + END,
    "pop_without_push": COLLECTION + SIZE8 + count(4) + INPUT + bytes([0xB4]) + FEATURE + END,
    "long_item": COLLECTION + bytes([0xFE, 0x03, 0x10, 0xAA, 0xBB, 0xCC]) + SIZE8 + count(2)
    + INPUT + END,
    "cut_inside_item": VENDOR_FEATURE_64[:11],
    "report_id_zero": COLLECTION + report_id(0) + SIZE8 + count(2) + INPUT + END,
    "report_too_long": COLLECTION + bytes([0x77, 0xFF, 0xFF, 0xFF, 0xFF])
    + bytes([0x97, 0xFF, 0xFF, 0xFF, 0xFF]) + FEATURE + END,
    "longest_countable_report": COLLECTION + bytes([0x76, 0xFD, 0xFF]) + count(8) + FEATURE + END,
    "report_past_longest": COLLECTION + bytes([0x76, 0xFE, 0xFF]) + count(8) + FEATURE + END,
    "four_byte_values": COLLECTION + bytes([0x77, 0x08, 0, 0, 0, 0x97, 0x40, 0, 0, 0])
    + OUTPUT + END,
}

# --- identity texts ---------------------------------------------------------

hex_text = {
    "vendor_0471": b"0471",
    "vendor_0471_blank": b"04 71",
    "vendor_0471_comma": b"04,71",
    "product_E001": b"E001",
    "product_e001_lower": b"e001",
    "vendor_0801": b"0801",
    "version_0100": b"0100",
    "odd_digits_471": b"471",
    "blanks_and_commas": b" 04 , 71 ",
    "prefix_0x": b"0x0471",
    "not_hex": b"04G1",
    "three_ids": b"0471E0010001",
    "empty": b"",
}

# --- serial programs --------------------------------------------------------

RECEIVE, BURST, POLL, POLL_OTHER_MODE, QUEUE, SELECT, SEND_CMD, CLICK, CODE, READ_TEST = range(10)
QUIET = 8  # a poll 112 ms after the last step


def receive(data):
    out = bytearray()
    for b in data:
        out += bytes([RECEIVE, b])
    return bytes(out)


def poll(delay=QUIET):
    return bytes([POLL, delay])


def select(command):
    return bytes([SELECT, command + 1])


def queue(frame, from_send_cmd, command):
    return bytes([QUEUE]) + u16(len(frame)) + bytes([(from_send_cmd & 1) | ((command + 1) << 1)]) + bytes(frame)


MSR1_STANDARD_SETTING, MSR1_STANDARDS_SETUP = 26, 4
cheque = bytes([STX]) + b"<123456<:0123456789:12345678;" + bytes([ETX, CR, LF])

serial_bytes = {
    "read_config_then_send": select(DEVICE_TYPE_SETUP) + poll() + receive(block()) + poll()
    + bytes([SEND_CMD]) + poll() + receive([ESC, ord('0')]) + poll(),
    "read_config_short": select(DEVICE_TYPE_SETUP) + poll() + receive(block()[:23]) + poll(),
    "cheque_reads_compared": receive(cheque) + poll() + receive(cheque) + poll()
    + receive(cheque[:-4] + b"9" + cheque[-4:]) + poll(),
    "cheque_reads_not_compared": bytes([READ_TEST, 0]) + receive(cheque) + poll()
    + receive([STX, ETX, CR, LF]) + poll() + bytes([READ_TEST, 0]) + receive(cheque) + poll(),
    "cheque_read_then_count_again": receive(cheque) + poll() + bytes([READ_TEST, 1]),
    "no_answer": queue([ESC, ord('e')], 1, 1) + poll() + poll(255) + poll(),
    "reply_longer_than_buffer": queue([ESC, ord('U')], 1, 0) + poll()
    + bytes([BURST, 255, 0x41, 0x01]) * 4 + bytes([BURST, 48, 0x41, 0x01]) + poll(),
    "read_longer_than_buffer": bytes([BURST, 255, 0x30, 0x07]) * 4 + bytes([BURST, 70, 0x30, 0x07])
    + poll(),
    "frame_while_reading": receive(cheque[:10]) + queue([ESC, ord('R')], 0, 2) + poll()
    + receive([0x30] * 24) + poll(),
    "settings_clicked_then_sent": select(MSR1_STANDARDS_SETUP)
    + bytes([CLICK, MSR1_STANDARD_SETTING, 3, SEND_CMD]) + poll()
    + receive([ESC, ord('y')]) + poll(),
    "codes_selected_then_block_sent": select(DEVICE_TYPE_SETUP) + poll() + receive(block()) + poll()
    + bytes([CODE, 0, 0x2B, CODE, 12, 200, SEND_CMD]) + poll() + receive([ESC, ord('0')]) + poll(),
    "largest_frame": queue(bytes(range(256)) * 4, 1, 7) + poll() + receive([ESC, ord('1')]) + poll(),
    "usb_mode_poll": receive([0x41]) + bytes([POLL_OTHER_MODE]) + poll(),
}


def write(target, seeds):
    folder = HERE / "corpus" / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


write("fuzz_config_reply", config_reply)
write("fuzz_report_descriptor", report_descriptor)
write("fuzz_hex_text", hex_text)
write("fuzz_serial_bytes", serial_bytes)
