# What both screenshot scripts share: the sample settings file they open and
# taking a screenshot of a window found by its title. Sourced; the script sets
# out_dir and script_name first.

# write_sample_settings FILE: the settings the screenshots show.
write_sample_settings() {
  printf '%s\r\n' \
    '[Tivoli Adapter Configuration File]' 'ServerLocation=tec.example.net' 'ServerPort=5529' '' \
    '[Printers To Be Enumerated]' 'All NetWare Printers=No' 'All TCP/IP Printers=Yes' 'All DLC Printers=Yes' '' \
    '[Printer Alerts To Be Monitored]' 'Input=Yes' 'Output=Yes' 'Paper Jam=Yes' 'Printer Supplies=Yes' \
    'Operator Intervention Required=No' 'Printer Warnings=Yes' 'Device Needs Service=Yes' \
    'Configuration Change=No' 'Offline=Yes' 'Check Printer Communication In How Many Seconds ?=60' '' \
    '[Enumeration]' 'Enumerate Only Defined Ports=No' 'Look For New Printers In How Many Hours ?=12' \
    'Look On How Many Subnets ?=2' 'Subnet 1=10.1.0.0' 'Subnet Mask 1=255.255.0.0' \
    'Subnet 2=192.168.7.0' 'Subnet Mask 2=255.255.255.0' > "$1"
}

# shoot TITLE FILE: waits up to 30 s for a visible window of that title, then
# saves the screen to out_dir/FILE.
shoot() {
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -1) ||
    { echo "$script_name: no window \"$1\" appeared" >&2; exit 1; }
  sleep 0.5  # let the window draw itself
  import -window root "$out_dir/$2"
  echo "$2: window \"$(xdotool getwindowname "$window")\""
}
