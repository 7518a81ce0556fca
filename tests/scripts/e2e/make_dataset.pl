#!/usr/bin/perl
# Writes a small data set for the end-to-end run into the folder given as the only argument:
# the start-up manifest, the nine category directories with their manifests, five box models
# (three structures, two bodies), one texture page and a cursor image.
#
# The boxes are two-sided so that no winding question can hide a face. Every face takes a
# solid quarter of the page, so what the screen shows of a model is a few flat colours, none of
# which is a colour the checks look for (panel red/green/blue, axis colours, backgrounds).
use strict;
use warnings;

my $root = shift or die "usage: make_dataset.pl FOLDER [OTHER_PAGE]\n";
# OTHER_PAGE: where to write a second page, all cyan,
# for a run that swaps the page while the viewer shows it.
my $other_page = shift;

sub write_file {
  my ($path, $data) = @_;
  my $dir = $path;
  $dir =~ s{/[^/]*$}{};
  system('mkdir', '-p', $dir) == 0 or die "mkdir $dir";
  open(my $fh, '>:raw', $path) or die "$path: $!";
  print $fh $data;
  close $fh;
}

# An uncompressed 32-bit DDS (A8R8G8B8, no mipmaps). $pixel->(x, y) gives [a, r, g, b].
sub dds_argb {
  my ($w, $h, $pixel) = @_;
  my $header = pack('A4 V7 V11', 'DDS ', 124, 0x100F, $h, $w, $w * 4, 0, 0, (0) x 11);
  # pixel format: size, flags (RGB | ALPHAPIXELS), fourCC, bit count, r g b a masks
  $header .= pack('V8', 32, 0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
  $header .= pack('V5', 0x1000, 0, 0, 0, 0);  # caps: texture
  my $body = '';
  for my $y (0 .. $h - 1) {
    for my $x (0 .. $w - 1) {
      my ($a, $r, $g, $b) = @{ $pixel->($x, $y) };
      $body .= pack('C4', $b, $g, $r, $a);
    }
  }
  return $header . $body;
}

# The page: four solid quarters (in the 256-texel space of the PIE files, 128 each).
my @quarters = ([255, 140, 0], [150, 60, 200], [230, 230, 230], [120, 80, 40]);
write_file("$root/duskfen/texpages/e2epage.dds", dds_argb(64, 64, sub {
  my ($x, $y) = @_;
  my $q = ($x < 32 ? 0 : 1) + ($y < 32 ? 0 : 2);
  return [255, @{ $quarters[$q] }];
}));

if ($other_page) {
  write_file($other_page, dds_argb(64, 64, sub { return [255, 40, 200, 220] }));
}

# The cursor: a white triangle in the top-left corner, transparent elsewhere.
write_file("$root/textures/kvrcursor.dds", dds_argb(32, 32, sub {
  my ($x, $y) = @_;
  return ($x <= $y && $y < 20) ? [255, 255, 255, 255] : [0, 0, 0, 0];
}));

# A box of the given half widths (PIE units; the viewer shows a tenth) standing on y 0.
sub box_pie {
  my ($hx, $hy, $hz) = @_;
  my @p = ([-$hx, 0, -$hz], [$hx, 0, -$hz], [$hx, 2 * $hy, -$hz], [-$hx, 2 * $hy, -$hz],
           [-$hx, 0, $hz], [$hx, 0, $hz], [$hx, 2 * $hy, $hz], [-$hx, 2 * $hy, $hz]);
  # faces: corners, page quarter
  my @faces = ([[0, 1, 2, 3], 0], [[5, 4, 7, 6], 0], [[4, 0, 3, 7], 1], [[1, 5, 6, 2], 1],
               [[3, 2, 6, 7], 2], [[4, 5, 1, 0], 3]);
  my $text = "PIE 2\nTYPE 200\nTEXTURE 0 e2epage.pcx 256 256\nLEVELS 1\nLEVEL 1\n";
  $text .= "POINTS 8\n";
  $text .= join('', map { "\t$_->[0] $_->[1] $_->[2]\n" } @p);
  $text .= "POLYGONS 6\n";
  for my $f (@faces) {
    my ($c, $q) = @$f;
    my $u0 = ($q % 2) * 128 + 24;
    my $v0 = int($q / 2) * 128 + 24;
    my ($u1, $v1) = ($u0 + 80, $v0 + 80);
    $text .= "\t2200 4 @$c $u0 $v0 $u1 $v0 $u1 $v1 $u0 $v1\n";
  }
  return $text;
}

my %models = (
  structures => [['blocka', 250, 150, 120], ['blockb', 200, 100, 200], ['blockc', 120, 200, 120]],
  bodies     => [['bodya', 180, 80, 180], ['bodyb', 260, 60, 90]],
);
my %manifests = (structures => 'Structures.gam', bodies => 'Bodies.gam');
for my $category (keys %models) {
  my @names;
  for my $m (@{ $models{$category} }) {
    my ($name, @size) = @$m;
    write_file("$root/duskfen/$category/$name.pie", box_pie(@size));
    push @names, $name;
  }
  write_file("$root/duskfen/$category/$manifests{$category}", join("\n", @names) . "\n");
}
# The other categories list nothing.
write_file("$root/duskfen/animations/Animations.gam", "");
write_file("$root/duskfen/features/Features.gam", "");
write_file("$root/duskfen/misc/Miscelaneous.gam", "");
write_file("$root/duskfen/research/MiscelaneousIMD.gam", "");
write_file("$root/duskfen/effects/Effects.gam", "");
write_file("$root/duskfen/propulsions/Propulsions.gam", "");
write_file("$root/duskfen/weapons/Weapons.gam", "");

# Windows paths, as a data set made for the original platform writes them.
write_file("$root/duskfen/KVRStartUp.gam", join('', map { "$_\r\n" } (
  'Animations: duskfen\\animations\\',
  'Bodies: duskfen\\bodies\\',
  'Features: duskfen\\features\\',
  'Miscelaneous: duskfen\\misc\\',
  'MiscelaneousIMD: duskfen\\research\\',
  'Effects: duskfen\\effects\\',
  'Propulsions: duskfen\\propulsions\\',
  'Structures: duskfen\\structures\\',
  'Weapons: duskfen\\weapons\\',
)));
