#!/usr/bin/perl
# Makes the marked icon group of a linked library claim five entries while
# it holds one: windres refuses to build such a group.
use strict;
use warnings;
my $path = shift or die "usage: claim-five-entries.pl LIBRARY\n";
open(my $in, '<:raw', $path) or die "$path: $!\n";
local $/;
my $bytes = <$in>;
close $in;
my $count = ($bytes =~ s/\x00\x00\x01\x00\x01\x00(?=\x10\x10\x00\x00\x01\x00\x20\x00\x5a\x5a\x5a\x5a)/\x00\x00\x01\x00\x05\x00/g);
die "$path: the marked group was found $count times\n" unless $count == 1;
open(my $out, '>:raw', $path) or die "$path: $!\n";
print $out $bytes;
close $out;
