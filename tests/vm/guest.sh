# Runs inside the virtual machine as root, on the host's root file system (read-only), whose whole tree is also at
# /run/host (the host paths below are read there, as the guest's /tmp, /run and /root are its own). Mounts the
# rig's work folder (vm_work, from the kernel command line) at /run/vm-work, loads the USB gadget stack with three
# device controllers (dummy_hcd num=3: another keyboard and two sticks), starts systemd-udevd with the project's
# device rule in place of the host's local rules, and runs the test program named in the work folder's "env" file.
# Its output goes to guest.log and its exit status to "status".
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
host=/run/host
work=/run/vm-work
mkdir -p $work
mount -t 9p -o trans=virtio,version=9p2000.L,cache=none,msize=262144 work $work \
  || { echo "VM-RIG: the work folder $vm_work could not be mounted"; exit 1; }
. $work/env
modprobe dummy_hcd num=3 && modprobe -a libcomposite usb_f_hid usbhid hid_generic evdev \
  || { echo "VM-RIG: the USB gadget modules could not be loaded" | tee $work/guest.log; exit 1; }
mount -t configfs none /sys/kernel/config
# udev as on a user's machine, with the checkout's rule (the host's own local rules are hidden). Without the
# daemon the test leaves out what needs it.
udevd=""
# udevadm's timeouts run on the guest's clock, which races while files come over the share: the daemon, its
# helpers and rules are read into the page cache first, and the first answers are waited for a few times.
udev_wait() {
  for attempt in 1 2 3 4 5; do "$@" && return 0; done
  return 1
}
if [ -x /lib/systemd/systemd-udevd ]; then
  cat /lib/systemd/systemd-udevd /bin/udevadm $(ldd /lib/systemd/systemd-udevd | awk '/=> \//{print $3}') \
    /usr/lib/udev/hwdb.bin /usr/lib/udev/rules.d/* /usr/lib/udev/*_id > /dev/null 2>&1
  mount -t tmpfs tmpfs /etc/udev/rules.d && cp "$host$device_rule" /etc/udev/rules.d/ \
    && /lib/systemd/systemd-udevd --daemon && udev_wait udevadm control --ping --timeout=30 \
    && udevadm trigger --action=add && udev_wait udevadm settle --timeout=60 \
    && udevd=1 || echo "VM-RIG: systemd-udevd could not be started"
else
  echo "VM-RIG: no systemd-udevd (package udev): the udev tests are left out"
fi
# The guest's clock runs ahead while it waits for the share (see run-vm.sh), so the programs and their libraries
# are read into its page cache before anything is timed; the host's timeout bounds the whole run.
for program in $preload; do
  cat "$host$program" $(ldd "$host$program" | awk '/=> \//{print $3}') > /dev/null
done
mkdir -p /tmp/home
cd /tmp
# The test finds the programs it starts below LUMIWAND_VM_HOST; LUMIWAND_VM_UDEVD tells whether udevd runs.
LUMIWAND_VM_HOST=$host LUMIWAND_VM_UDEVD=$udevd HOME=/tmp/home LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  "$host$guest_test" > $work/guest.log 2>&1
echo $? > $work/status
sync
