#!/usr/bin/env bash
# Boots Debian's kernel under QEMU with the host's root file system shared read-only, and runs a test program
# inside it against USB devices made by the kernel's gadget framework (see guest.sh).
#   run-vm.sh GUEST_TEST WORK_FOLDER [PROGRAM...]
# The PROGRAMs (those the guest test starts) are read into the guest's page cache with their libraries first.
# Exits with the guest test's status; 77 (skipped) when this machine cannot run the virtual machine: no QEMU, no
# kernel image with the gadget modules, or no static busybox (scripts/install-deps.sh installs all three).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
guest_test=$1
work=$2
preload="$guest_test ${*:3}"
# Real seconds the virtual machine may run.
vm_timeout=${LUMIWAND_VM_TIMEOUT:-1200}

skip() { echo "SKIP: $*"; exit 77; }

qemu=$(command -v qemu-system-x86_64) || skip "qemu-system-x86_64 is not installed (package qemu-system-x86)"
busybox=$(command -v busybox) || skip "busybox is not installed (package busybox-static)"
if LC_ALL=C readelf -l "$busybox" 2>/dev/null | grep -q INTERP; then
  skip "$busybox is not statically linked (package busybox-static)"
fi

# The newest installed kernel whose modules include the dummy USB controller.
kernel_version=""
for image in $(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -rV); do
  version=${image#/boot/vmlinuz-}
  if compgen -G "/lib/modules/$version/kernel/drivers/usb/gadget/udc/dummy_hcd.ko*" >/dev/null; then
    kernel_version=$version
    break
  fi
done
[ -n "$kernel_version" ] || skip "no kernel image with USB gadget modules in /boot (package linux-image-amd64)"
[ -r "/boot/vmlinuz-$kernel_version" ] || skip "/boot/vmlinuz-$kernel_version is not readable"
modules=/lib/modules/$kernel_version/kernel

# The initramfs: busybox, the modules that reach the 9p share (in load order), and init.
rm -rf "$work"
mkdir -p "$work/initramfs"/{bin,lib/modules,proc,sys,dev,mnt/root}
cp "$busybox" "$work/initramfs/bin/busybox"
for applet in sh mount insmod switch_root cat echo sleep mkdir; do ln -s busybox "$work/initramfs/bin/$applet"; done
boot_modules="virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci netfs fscache 9pnet 9pnet_virtio 9p"
loaded=""
for module in $boot_modules; do
  file=$(find "$modules" -name "$module.ko*" | head -n 1)
  [ -n "$file" ] || continue # built into this kernel
  case "$file" in
    *.ko) cp "$file" "$work/initramfs/lib/modules/$module.ko" ;;
    *.ko.xz) "$busybox" xzcat "$file" > "$work/initramfs/lib/modules/$module.ko" ;;
    *) skip "cannot unpack $file" ;;
  esac
  loaded="$loaded $module"
done
echo "$loaded" > "$work/initramfs/modules"
cp "$here/init" "$work/initramfs/init"
(cd "$work/initramfs" && find . | "$busybox" cpio -o -H newc 2>/dev/null | gzip -1 > "$work/initramfs.gz")
rm -rf "$work/initramfs"

cat > "$work/env" <<ENV
guest_test='$guest_test'
preload='$preload'
device_rule='$(cd "$here/../../packaging" && pwd)/60-lumiwand.rules'
ENV

echo "booting $kernel_version under QEMU (TCG) to run $(basename "$guest_test")"
start=$(date +%s)
# The guest's clock counts executed instructions (icount) and skips the time it idles, so that a host busy with
# other work slows the whole guest down evenly instead of making its stick miss the protocol's reply deadlines.
# While the guest waits for the 9p share its clock races ahead, so nothing timed in the guest may read files
# from the share (guest.sh preloads the programs) and the guest sets no long timeouts of its own.
timeout -k 10 "$vm_timeout" "$qemu" -accel tcg -icount shift=0,sleep=off -m 1024 -smp 1 \
  -nographic -no-reboot -nic none \
  -kernel "/boot/vmlinuz-$kernel_version" -initrd "$work/initramfs.gz" \
  -append "console=ttyS0 panic=-1 quiet guest_script=$here/guest.sh vm_work=$work" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -virtfs local,path="$work",mount_tag=work,security_model=none,multidevs=remap \
  < /dev/null > "$work/console.log" 2>&1 || true
echo "the virtual machine ran $(( $(date +%s) - start )) s"

grep "VM-RIG" "$work/console.log" || true
[ -f "$work/guest.log" ] && cat "$work/guest.log"
if [ ! -f "$work/status" ]; then
  echo "FAIL: the guest test did not finish. What the console says went wrong:"
  grep -m 12 -E "VM-RIG|[Cc]annot|can't|No such|not found|[Ee]rror|[Ff]ailed|Kernel panic|Attempted to kill" \
    "$work/console.log" || echo "(nothing)"
  echo "The end of the console:"
  tail -n 40 "$work/console.log"
  exit 1
fi
exit "$(cat "$work/status")"
