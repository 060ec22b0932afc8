#!/usr/bin/env bash
# Writes a test-bench scenario for a long line to stdout: KM kilometres (default 520) of the
# same 5 km block repeated, in 16 ms frames (62.5 a second). The driver keeps below the pattern
# display and follows a speed profile that changes three times a block: 60 km/h through each
# block's restriction, 75 km/h past the signals, 70 km/h through the timed section. Each block
# has a 60 km/h restriction set and lifted by coil pairs, an alarm the driver acknowledges, a
# stop signal that clears before the train reaches it, and a timed section; the signals and
# limits are declared, for the protection report.
#   bench/long_route_scenario.sh [KM] > long.toml
set -euo pipefail
km=${1:-520}
block=5000
length=$((km * 1000))

profile="[0, 75]"
for ((start = 1000; start + block <= length; start += block)); do
  profile+=", [${start}, 60], [$((start + 1600)), 75], [$((start + 3900)), 70]"
done

cat <<TOML
name = "long line: ${km} km of restrictions, alarms, stop signals and timed sections"

[vehicle]
brake_notches = 8
power_notches = 5
ack_brake_notch = 2
power_acceleration = [0.6, 1.2, 1.8, 2.4, 3.0]
brake_deceleration = [0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0]
emergency_deceleration = 4.5
resistance_constant = 0.05
resistance_at_100 = 0.3

[run]
step_ms = 16
duration = $((length / 10)).0
power_switch = true

[driver]
start_time = 2.0
deceleration = 2.0
brake_notch = 5
ack_delay = 2.0
release_delay = 3.0
profile = [${profile}]

[route]
length = ${length}
TOML

for ((start = 1000; start + block <= length; start += block)); do
  cat <<TOML

[[route.signals]]
name = "S$((start / block + 1))"
position = $((start + 3400))

[[route.limits]]
from = $((start + 562))
to = $((start + 1500))
speed = 60

[[route.coil_pairs]]
position = ${start}
first = 90
second = 90
spacing = 6.5
label = "restriction 60 km/h"

[[route.coil_pairs]]
position = $((start + 1500))
first = 90
second = 90
spacing = 2.0
label = "end of restriction"

[[route.transponders]]
position = $((start + 2000))
type = 0
label = "alarm"

[[route.transponders]]
position = $((start + 3000))
type = 50
signal = "S$((start / block + 1))"
optional = 1
label = "stop signal"

[[route.transponders]]
position = $((start + 3010))
type = 50
signal = "S$((start / block + 1))"
optional = 1

[[route.transponders]]
position = $((start + 3300))
type = 1
signal = "S$((start / block + 1))"
optional = 1
label = "signal cleared"

[[route.transponders]]
position = $((start + 4000))
type = 60
label = "timed section"

[[route.transponders]]
position = $((start + 4400))
type = 61
signal = 1
optional = 20000
TOML
done
