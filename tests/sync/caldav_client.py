#!/usr/bin/python3
"""A second calendar program for the sync tests: reads and writes one CalDAV calendar
through python3-caldav, as another client of the same server would.

    list URL USER PASS                      every event as JSON
    put URL USER PASS FILE                  store an iCalendar file as a new event
    edit URL USER PASS UID FIELD VALUE      change summary, location, description or dtstart
    delete URL USER PASS UID
    add-recurring URL USER PASS UID SUMMARY a weekly series with an alarm and a time zone

Any failure is said on stderr with a non-zero exit code.
"""

import datetime
import json
import sys

import caldav

TIMEOUT_SECONDS = 30

RECURRING = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Tests//Second Client//EN
BEGIN:VTIMEZONE
TZID:Europe/Berlin
BEGIN:DAYLIGHT
TZOFFSETFROM:+0100
TZOFFSETTO:+0200
TZNAME:CEST
DTSTART:19700329T020000
RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU
END:DAYLIGHT
BEGIN:STANDARD
TZOFFSETFROM:+0200
TZOFFSETTO:+0100
TZNAME:CET
DTSTART:19701025T030000
RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU
END:STANDARD
END:VTIMEZONE
BEGIN:VEVENT
UID:{uid}
DTSTAMP:20260105T080000Z
DTSTART;TZID=Europe/Berlin:20260105T093000
DTEND;TZID=Europe/Berlin:20260105T100000
RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=20
SUMMARY:{summary}
CATEGORIES:Team
X-SECOND-CLIENT-COLOUR:teal
BEGIN:VALARM
ACTION:DISPLAY
DESCRIPTION:{summary}
TRIGGER:-PT15M
END:VALARM
END:VEVENT
END:VCALENDAR
"""


class Failure(Exception):
    pass


def open_calendar(url, user, password):
    client = caldav.DAVClient(url, username=user, password=password,
                              timeout=TIMEOUT_SECONDS)
    return client.calendar(url=url)


def master_event(calendar_instance):
    """The series itself (or the single event), not an overridden occurrence."""
    events = list(calendar_instance.walk("VEVENT"))
    for event in events:
        if "RECURRENCE-ID" not in event:
            return event
    if not events:
        raise Failure("the object has no event")
    return events[0]


def text_of(event, name):
    value = event.get(name)
    return "" if value is None else str(value)


def describe(resource):
    event = master_event(resource.icalendar_instance)
    start = event.get("DTSTART")
    return {
        "uid": text_of(event, "UID"),
        "summary": text_of(event, "SUMMARY"),
        "dtstart": start.dt.isoformat() if start is not None else "",
        "tzid": start.params.get("TZID", "") if start is not None else "",
        "location": text_of(event, "LOCATION"),
        "description": text_of(event, "DESCRIPTION"),
        "rrule": "RRULE" in event,
        "valarm": any(True for _ in event.walk("VALARM")),
        "raw": resource.data,
    }


def parse_start(value):
    if "T" in value:
        return datetime.datetime.fromisoformat(value)
    return datetime.date.fromisoformat(value)


def edit(calendar, uid, field, value):
    resource = calendar.event_by_uid(uid)
    instance = resource.icalendar_instance
    event = master_event(instance)
    field = field.upper()
    if field == "DTSTART":
        # A move keeps the event's length, as a calendar program moves it.
        old = event.decoded("DTSTART")
        new = parse_start(value)
        if isinstance(new, datetime.datetime) and new.tzinfo is None:
            # A start given without an offset stays in the event's own time zone.
            new = new.replace(tzinfo=getattr(old, "tzinfo", None))
        end = event.decoded("DTEND") if "DTEND" in event else None
        event.pop("DTSTART")
        event.add("DTSTART", new)
        if end is not None:
            event.pop("DTEND")
            event.add("DTEND", end + (new - old))
    elif field in ("SUMMARY", "LOCATION", "DESCRIPTION"):
        event.pop(field, None)
        event.add(field, value)
    else:
        raise Failure("cannot edit the field " + field)
    resource.icalendar_instance = instance
    resource.save()


def run(arguments):
    if len(arguments) < 4:
        raise Failure(__doc__)
    command, url, user, password = arguments[:4]
    rest = arguments[4:]
    wanted = {"list": 0, "put": 1, "edit": 3, "delete": 1, "add-recurring": 2}
    if command not in wanted or len(rest) != wanted[command]:
        raise Failure(__doc__)
    calendar = open_calendar(url, user, password)
    if command == "list":
        events = [describe(resource) for resource in calendar.events()]
        events.sort(key=lambda event: event["uid"])
        print(json.dumps(events, indent=1))
    elif command == "put":
        with open(rest[0], encoding="utf-8") as file:
            print(calendar.save_event(file.read()).url)
    elif command == "edit":
        edit(calendar, *rest)
    elif command == "delete":
        calendar.event_by_uid(rest[0]).delete()
    else:
        print(calendar.save_event(RECURRING.format(uid=rest[0], summary=rest[1])).url)


def main():
    try:
        run(sys.argv[1:])
    except Exception as error:  # every failure is the test's to see, with its reason
        print("caldav_client: %s: %s" % (type(error).__name__, error), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
