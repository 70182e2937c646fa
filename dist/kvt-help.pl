#!/usr/bin/perl
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads `kvt --help` and `kvt COMMAND --help` for every command it lists and writes, from that one
# source, either the manual page's COMMANDS section (a help2man include) or the bash completion,
# so that neither can drift from the help:
#   kvt-help.pl man KVT OUT
#   kvt-help.pl completion KVT TEMPLATE OUT
use strict;
use warnings;

# CLI11 writes an entry's names in a column this wide, its text after them.
my $column = 24;

sub help_of {
    my @command = @_;
    open(my $pipe, '-|', @command, '--help') or die "kvt-help: cannot run '@command': $!\n";
    local $/;
    my $text = <$pipe>;
    close($pipe) or die "kvt-help: '@command --help' failed\n";
    return $text;
}

# A help text as its opening lines, its usage and its entries (section, head, text).
sub parse_help {
    my ($text) = @_;
    my (@about, $usage, $section, @entries);
    for my $line (split /\n/, $text) {
        if (!defined $usage) {
            if ($line =~ /^Usage: (.*)/) { $usage = $1 } else { push @about, $line }
        } elsif ($line =~ /^(\w+):$/) {
            $section = $1;
        } elsif (defined $section && @entries && $line =~ /^ {$column}(\S.*)/) {
            $entries[-1]{text} .= ($entries[-1]{text} eq '' ? '' : ' ') . $1;
        } elsif (defined $section && $line =~ /^  (\S.*)/) {
            my ($head, $text) = ($1, '');
            if (length($line) > $column && substr($line, $column - 1, 2) =~ /^ \S/) {
                ($head, $text) = (substr($line, 2, $column - 2), substr($line, $column));
                $head =~ s/\s+$//;
            }
            push @entries, {section => $section, head => $head, text => $text};
        }
    }
    die "kvt-help: no usage line in the help\n" unless defined $usage;
    return {about => \@about, usage => $usage, entries => \@entries};
}

# An option entry's names, the word for its value (empty for a flag), the whole text after the
# names, and the choices of the value.
sub option_of {
    my ($head) = @_;
    my ($names, $rest) = split / /, $head, 2;
    $rest //= '';
    my ($value) = $rest =~ /^(\S+)/;
    $value = '' if !defined $value || $value =~ /:$/;  # "Excludes:" and the like follow a flag
    my @choices;
    if ($value =~ /:\{([^}]*)\}/) {
        @choices = split /,/, $1;
    } elsif ($value =~ /^([\w.-]+(?:\|[\w.-]+)+)(?::|$)/) {
        @choices = split /\|/, $1;
    }
    return ([split /,/, $names], $value, $rest, \@choices);
}

sub read_kvt {
    my ($kvt) = @_;
    my $top = parse_help(help_of($kvt));
    my @commands;
    for my $entry (@{$top->{entries}}) {
        next unless $entry->{section} eq 'Subcommands';
        my ($name) = $entry->{head} =~ /^(\S+)/;
        push @commands, {name => $name, help => parse_help(help_of($kvt, $name))};
    }
    die "kvt-help: '$kvt --help' lists no command\n" unless @commands;
    return ($top, \@commands);
}

sub roff {
    my ($text) = @_;
    $text =~ s/\\/\\e/g;
    $text =~ s/-/\\-/g;
    $text =~ s/^([.'])/\\&$1/;
    return $text;
}

sub roff_head {
    my ($entry) = @_;
    my $head = $entry->{head} =~ s/\s+/ /gr;
    return '\fB' . roff($head) . '\fR' if $entry->{section} ne 'Options';
    my ($names, undef, $rest) = option_of($head);
    my $bold = join(', ', map { '\fB' . roff($_) . '\fR' } @$names);
    return $rest eq '' ? $bold : "$bold \\fI" . roff($rest) . '\fR';
}

# A command's description: plain paragraphs filled, those laid out with indented lines (tables)
# kept line for line.
sub description {
    my ($lines) = @_;
    my @out;
    for my $paragraph (split /\n\n+/, join("\n", @$lines)) {
        my @rows = map { roff($_) } split /\n/, $paragraph;
        push @out, '.PP' if @out;
        push @out, grep(/^\s/, @rows) ? ('.nf', @rows, '.fi') : @rows;
    }
    return @out;
}

sub man_section {
    my ($commands) = @_;
    my @out = ('[COMMANDS]');
    for my $command (@$commands) {
        my $help = $command->{help};
        push @out, '.SS "' . roff($help->{usage}) . '"', description($help->{about});
        push @out, '.TP', roff_head($_), roff($_->{text}) for @{$help->{entries}};
    }
    return join("\n", @out) . "\n";
}

sub shell_word {
    my ($word) = @_;
    die "kvt-help: '$word' is not a plain word\n" unless $word =~ /^[\w.+-]+$/;
    return $word;
}

sub completion_data {
    my ($top, $commands) = @_;
    my (@options, @valued, @choices);
    for my $command (@$commands) {
        my $name = shell_word($command->{name});
        my (@all, @with_value);
        for my $entry (grep { $_->{section} eq 'Options' } @{$command->{help}{entries}}) {
            my ($names, $value, undef, $values) = option_of($entry->{head});
            push @all, map { shell_word($_) } @$names;
            next if $value eq '';
            push @with_value, @$names;
            push @choices, map { "    ['$name $_']='" . join(' ', map { shell_word($_) } @$values) . "'" } @$names
                if @$values;
        }
        push @options, "    [$name]='@all'";
        push @valued, "    [$name]='@with_value'";
    }
    my @top_options = map { @{(option_of($_->{head}))[0]} } grep { $_->{section} eq 'Options' } @{$top->{entries}};
    return join("\n",
        "_kvt_commands='" . join(' ', map { $_->{name} } @$commands) . "'",
        "_kvt_top_options='" . join(' ', map { shell_word($_) } @top_options) . "'",
        'declare -gA _kvt_options=(', @options, ')',
        'declare -gA _kvt_valued=(', @valued, ')',
        'declare -gA _kvt_choices=(', @choices, ')');
}

sub write_file {
    my ($path, $text) = @_;
    open(my $out, '>', $path) or die "kvt-help: cannot write $path: $!\n";
    print $out $text;
    close($out) or die "kvt-help: cannot write $path: $!\n";
}

my ($mode, $kvt, @rest) = @ARGV;
die "usage: kvt-help.pl man KVT OUT | completion KVT TEMPLATE OUT\n"
    unless defined $kvt && (($mode // '') eq 'man' && @rest == 1 || ($mode // '') eq 'completion' && @rest == 2);
my ($top, $commands) = read_kvt($kvt);
if ($mode eq 'man') {
    write_file($rest[0], man_section($commands));
} else {
    open(my $in, '<', $rest[0]) or die "kvt-help: cannot read $rest[0]: $!\n";
    my $template = do { local $/; <$in> };
    my $data = completion_data($top, $commands);
    $template =~ s/^\@KVT_COMPLETION_DATA\@$/$data/m or die "kvt-help: no \@KVT_COMPLETION_DATA\@ in $rest[0]\n";
    write_file($rest[1], $template);
}
