# Runs inside the virtual machine as root, on the host's root file system (read-only): mounts the rig's work
# folder (vm_work, from the kernel command line), loads the USB gadget stack with two device controllers
# (dummy_hcd num=2: the stick and another keyboard), and runs the test program named in the work folder's "env"
# file. Its output goes to guest.log and its exit status to "status".
mount -t 9p -o trans=virtio,version=9p2000.L,cache=none,msize=262144 work "$vm_work" || return
. "$vm_work/env"
modprobe dummy_hcd num=2 && modprobe -a libcomposite usb_f_hid usbhid hid_generic evdev \
  || { echo "VM-RIG: the USB gadget modules could not be loaded" > "$vm_work/guest.log"; return; }
mount -t configfs none /sys/kernel/config
# The guest's clock runs ahead while it waits for the share (see run-vm.sh), so the programs and their libraries
# are read into its page cache before anything is timed; the host's timeout bounds the whole run.
for program in $preload; do
  cat "$program" $(ldd "$program" | awk '/=> \//{print $3}') > /dev/null
done
mkdir -p /tmp/home
cd /tmp
HOME=/tmp/home LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen "$guest_test" > "$vm_work/guest.log" 2>&1
echo $? > "$vm_work/status"
sync
