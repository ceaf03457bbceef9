"""Filters of the disksig_fleet role: the fleet report from every host's
"disksig -ld json" listing, as a structure, as JSON text and as text lines.

An identifier is an MBR disk's signature or a GPT disk's GUID. It is shared
when more than one disk holds it, on one host or across hosts; signature
00000000 is no signature (an erased disk) and never shared, as "-ld" counts
collisions on one host.
"""

import json

NO_LISTING = "no listing: the host was unreachable or a task failed before the listing"
UNITS = ("B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB")


def _identifier(disk):
    if disk.get("style") == "MBR" and disk.get("signature"):
        return "signature", disk["signature"].upper()
    if disk.get("style") == "GPT" and disk.get("guid"):
        return "guid", disk["guid"].upper()
    return None, None


def _host_entry(name, variables):
    listing = variables.get("disksig_listing")
    error = variables.get("disksig_error") or None
    if listing is None and error is None:
        error = NO_LISTING
    status = variables.get("disksig_status")
    return {
        "host": name,
        "status": int(status) if status is not None else None,
        "disks": len(listing["disks"]) if listing else 0,
        "collisions": len(listing["collisions"]) if listing else 0,
        "unlisted": int(listing.get("unlisted") or 0) if listing else 0,
        "error": error,
    }


def _disk_entry(host, disk):
    return {
        "host": host,
        "number": disk["number"],
        "device": disk["device"],
        "style": disk.get("style"),
        "identifier": _identifier(disk)[1],
        "size": disk.get("size"),
        "offline": disk.get("offline"),
        "readonly": disk.get("readonly"),
        "letters": list(disk.get("letters") or []),
        "error": disk.get("error"),
    }


def _shared(disks):
    holders = {}
    for disk in disks:
        kind = "guid" if disk["style"] == "GPT" else "signature"
        identifier = disk["identifier"]
        if identifier is None or (kind == "signature" and int(identifier, 16) == 0):
            continue
        holders.setdefault((kind, identifier), []).append(
            {"host": disk["host"], "number": disk["number"], "device": disk["device"]})
    return [
        {"kind": kind, "identifier": identifier,
         "across_hosts": len({h["host"] for h in found}) > 1, "holders": found}
        for (kind, identifier), found in sorted(holders.items()) if len(found) > 1
    ]


def disksig_fleet_report(hosts, hostvars):
    """The report of HOSTS (inventory names) from their variables."""
    names = sorted(str(h) for h in hosts)
    entries, disks = [], []
    for name in names:
        variables = hostvars[name]
        entries.append(_host_entry(name, variables))
        listing = variables.get("disksig_listing")
        if listing:
            found = sorted(listing["disks"], key=lambda d: d["number"])
            disks.extend(_disk_entry(name, d) for d in found)
    return {"hosts": entries, "disks": disks, "shared": _shared(disks)}


def disksig_fleet_json(report):
    """REPORT as JSON text: one record a line, fields in a fixed order."""
    parts = []
    for key in ("hosts", "disks", "shared"):
        records = [json.dumps(r) for r in report[key]]
        body = "[\n  " + ",\n  ".join(records) + "\n ]" if records else "[]"
        parts.append('"%s": %s' % (key, body))
    return "{" + ",\n ".join(parts) + "}"


def _size(size):
    if size is None:
        return "?"
    value, unit = float(size), 0
    while value >= 1024 and unit < len(UNITS) - 1:
        value, unit = value / 1024, unit + 1
    return "%d B" % size if unit == 0 else "%.1f %s" % (value, UNITS[unit])


def _state(disk):
    if disk["offline"] is None:
        return "?"
    state = "offline" if disk["offline"] else "online"
    return state + " read-only" if disk["readonly"] else state


def _disk_row(disk):
    head = [disk["host"], disk["device"]]
    error = disk["error"]
    if error:
        return head, "%s failed: %s" % (error.get("step"), str(error.get("text", "")).strip())
    return head + [disk["style"] or "-", disk["identifier"] or "-", _size(disk["size"]),
                   _state(disk), " ".join(disk["letters"]) or "-"], None


def _table(rows):
    full = [cells for cells, tail in rows if tail is None]
    widths = [max(len(c[i]) for c in full) for i in range(len(full[0]))]
    lines = []
    for cells, tail in rows:
        text = "  ".join(c.ljust(widths[i]) for i, c in enumerate(cells))
        tail = " ".join(tail.split()) if tail else ""
        lines.append((text + "  " + tail if tail else text).rstrip())
    return lines


def _shared_lines(shared):
    if not shared:
        return ["No identifier is held by more than one disk."]
    rows = []
    for entry in shared:
        hosts = sorted({h["host"] for h in entry["holders"]})
        scope = "across hosts" if entry["across_hosts"] else "within " + hosts[0]
        holders = ", ".join("%s %s" % (h["host"], h["device"]) for h in entry["holders"])
        rows.append(([entry["kind"] + " " + entry["identifier"], scope, holders], None))
    return ["Identifiers held by more than one disk:"] + ["  " + line for line in _table(rows)]


def disksig_fleet_text(report):
    """REPORT as lines of text: a summary, every disk, the shared identifiers."""
    across = sum(1 for s in report["shared"] if s["across_hosts"])
    missing = sum(1 for h in report["hosts"] if h["error"])
    partial = sum(1 for h in report["hosts"] if h["unlisted"])
    hosts = "%d hosts (%d without a listing%s)" % (
        len(report["hosts"]), missing, ", %d with disks left out" % partial if partial else "")
    lines = ["disksig fleet report: %s, %d disks, %d shared identifiers (%d across hosts)"
             % (hosts, len(report["disks"]), len(report["shared"]), across), ""]
    rows = [(["HOST", "DISK", "STYLE", "IDENTIFIER", "SIZE", "STATE", "LETTERS"], None)]
    by_host = {}
    for disk in report["disks"]:
        by_host.setdefault(disk["host"], []).append(_disk_row(disk))
    for host in report["hosts"]:
        rows.extend(by_host.get(host["host"], []))
        if host["unlisted"]:
            rows.append(([host["host"], "-"], "NOT LISTED: %d more disks; their collisions are not checked"
                         % host["unlisted"]))
        if host["error"]:
            rows.append(([host["host"], "-"], host["error"]))
    return lines + _table(rows) + [""] + _shared_lines(report["shared"])


class FilterModule:
    def filters(self):
        return {
            "disksig_fleet_report": disksig_fleet_report,
            "disksig_fleet_json": disksig_fleet_json,
            "disksig_fleet_text": disksig_fleet_text,
        }
